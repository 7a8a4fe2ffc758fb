// The poll timer's identity rules, on a tool object linked in this process so
// that the module-wide timer state can be seen.
#include <gtest/gtest.h>
#include <windows.h>

#include "addin/VantikTool.h"
#include "tests/addin/HostFixture.h"

namespace vantik::test {
namespace {

class PollTimerTest : public HostFixture {
protected:
    PollTimerTest() {
        CreateComInstance<VantikTool>(IID_IHostToolLink, tool.PutVoid());
    }
    ~PollTimerTest() override {
        if (tool) tool->EndLink();
    }
    ComPtr<IHostToolLink> tool;
};

TEST_F(PollTimerTest, OnlyATickWithTheArmedTimersIdentifierDoesWork) {
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    const UINT_PTR armed = pollTimerId;
    ASSERT_NE(armed, 0u);
    WriteFileText(Exchange("sx_to_ly_pipe"), "instance S I1\n");

    PollTick(nullptr, WM_TIMER, armed + 1, 0);
    EXPECT_TRUE(FileExists(Exchange("sx_to_ly_pipe")));
    EXPECT_EQ(pollTimerId, armed);

    PollTick(nullptr, WM_TIMER, armed, 0);
    EXPECT_FALSE(FileExists(Exchange("sx_to_ly_pipe")));
    EXPECT_TRUE(document->layout.Called("SelectInstance I1"));
    // Armed again for the next second.
    EXPECT_NE(pollTimerId, 0u);
}

TEST_F(PollTimerTest, TickSendsWhatWasHeldBackThenReadsAndStopsAtTheSchematicsEnd) {
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    auto* linked = static_cast<VantikTool*>(tool.Get());
    WriteFileText(Exchange("ly_to_sx_pipe"), "not taken yet\r\n");
    linked->SendCommand("$held()");
    std::remove(Exchange("ly_to_sx_pipe").c_str());
    WriteFileText(Exchange("sx_to_ly_pipe"), "TerminateXprobe\n");

    PollTick(nullptr, WM_TIMER, pollTimerId, 0);
    EXPECT_EQ(ReadFileBytes(Exchange("ly_to_sx_pipe")), "$held()\r\n");
    EXPECT_TRUE(document->layout.Called("ToolTerminated Design Ostrine"));
    EXPECT_EQ(pollTimerId, 0u);
}

TEST_F(PollTimerTest, DocumentClosingDuringATickLeavesTheTimerStopped) {
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    document->onCall = [this](const std::string& call) {
        if (call == "SelectInstance I1") document->Fire(3);
    };
    WriteFileText(Exchange("sx_to_ly_pipe"), "instance S I1\nnet S GND\n");

    PollTick(nullptr, WM_TIMER, pollTimerId, 0);
    EXPECT_TRUE(document->layout.Called("SelectNet GND"));
    EXPECT_EQ(pollTimerId, 0u);
    document->onCall = nullptr;
}

TEST_F(PollTimerTest, SecondLinkStartKeepsOneTimer) {
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    const UINT_PTR first = pollTimerId;
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    const UINT_PTR second = pollTimerId;
    ASSERT_NE(second, 0u);
    // The first timer is gone unless the system handed its identifier out again.
    if (first != second) {
        EXPECT_FALSE(::KillTimer(nullptr, first));
    }
}

TEST_F(PollTimerTest, ReleaseStopsTheTimerOfAToolThatStillHoldsIt) {
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    const UINT_PTR armed = pollTimerId;
    document->DropConnections();
    tool.Reset();
    EXPECT_EQ(pollTimerId, 0u);
    EXPECT_EQ(currentTool, nullptr);
    EXPECT_FALSE(::KillTimer(nullptr, armed));
}

TEST_F(PollTimerTest, StopPollTimerForgetsTheTimer) {
    ASSERT_EQ(StartLink(tool.Get(), designDirectory), S_OK);
    const UINT_PTR armed = pollTimerId;
    StopPollTimer();
    EXPECT_EQ(pollTimerId, 0u);
    EXPECT_FALSE(::KillTimer(nullptr, armed));
    StopPollTimer();
    EXPECT_EQ(pollTimerId, 0u);
}

}  // namespace
}  // namespace vantik::test
