// A cross-probe link between the real add-in in a reference host and the
// schematic tool simulator as its own process.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "coordination/LockFileText.h"
#include "tests/addin/HostFixture.h"
#include "tests/simulator/SimulatorProcess.h"

namespace vantik::test {
namespace {

constexpr const char* kTerminateCommand = "$ly_sx_terminate_crossprobe()";

std::string Received(const std::string& command) { return "received " + command; }

std::string SelectInstances(const std::string& quotedNames) {
    return "$ly_sx_action([[@select, @instance, [" + quotedNames + "]]]);";
}

class EndToEndTest : public HostFixture {
protected:
    EndToEndTest() : transcript(scratch.Path("transcript.txt")) {
        WriteFileText(scratch.Path("lycmds"), CommandFileText(designDirectory, "pcb_design_vpt"));
    }

    // Starts the simulator on the design directory, as the launcher would, and
    // waits until it has registered in the lock file.
    void StartSimulator(const std::string& scenario) {
        WriteFileText(scratch.Path("scenario.txt"), scenario);
        simulator = std::make_unique<SimulatorProcess>(
            "--scenario \"" + scratch.Path("scenario.txt") + "\" --transcript \"" + transcript.Path() +
                "\" --timeout 120",
            scratch.Path("lycmds"));
        ASSERT_TRUE(simulator->Started());
        ASSERT_TRUE(PumpUntilTranscriptHas("registered SX " + std::to_string(simulator->Pid()) +
                                           " pcb_design_vpt in " + designDirectory + "\\"));
    }

    // The host keeps its message loop going (so the poll timer ticks) while it waits.
    bool PumpUntilTranscriptHas(const std::string& line) {
        return refhost::PumpUntil([&] { return transcript.Has(line); }, kSimulatorPatienceMilliseconds);
    }

    std::vector<std::string> ReceivedContaining(const std::string& text) const {
        std::vector<std::string> found;
        for (const std::string& line : transcript.Lines()) {
            if (line.rfind("received ", 0) == 0 && line.find(text) != std::string::npos) found.push_back(line);
        }
        return found;
    }

    LockEntries LockEntriesNow() const { return ParseLockEntries(ReadFileBytes(Exchange("sx_ly.lock"))); }

    TranscriptFile transcript;
    std::unique_ptr<SimulatorProcess> simulator;
};

TEST_F(EndToEndTest, SelectionsAndHighlightsTravelBothWaysUntilTheSchematicSideEndsTheLink) {
    refhost::HostLayout& layout = document->layout;
    layout.highlightedComponents = {"U3"};
    ComPtr<IHostToolLink> tool = NewTool();
    ASSERT_HRESULT_SUCCEEDED(StartLink(tool.Get(), designDirectory));
    StartSimulator(
        "wait-for " + SelectInstances("\"I1\"") + "\n"
        "send instance S I2\n"
        "send net S GND\n"
        "send pin S U7-12\n"
        "wait-taken\n"
        "send instance H\n"
        "wait-for @highlight, @instance, [\"I4\"]\n"
        "wait-for @highlight, @instance, [\"I7\"]\n"
        "send instance I\n"
        "wait-for @unhighlight, @instance, [\"I4\"]\n"
        "sleep 1500\n"
        "terminate\n");

    // Layout to schematic.
    layout.selectedComponents = {"U1"};
    document->Fire(4);
    ASSERT_TRUE(PumpUntilTranscriptHas(Received(SelectInstances("\"I1\""))));

    // Schematic to layout; the host answers each selection with its own
    // selection event, which must not be echoed back.
    ASSERT_TRUE(PumpUntilCalled("SelectInstance I2", kSimulatorPatienceMilliseconds));
    ASSERT_TRUE(PumpUntilCalled("SelectNet GND", kSimulatorPatienceMilliseconds));
    ASSERT_TRUE(PumpUntilCalled("SelectPin U7 12", kSimulatorPatienceMilliseconds));

    // Highlight cross-probing on: the layout's highlighted components follow it.
    ASSERT_TRUE(PumpUntilTranscriptHas(Received("$ly_sx_action([[@highlight, @instance, [\"I4\"]]]);")));
    layout.highlightEventComponents = {"U7"};
    document->Fire(22);
    ASSERT_TRUE(PumpUntilTranscriptHas(Received("$ly_sx_action([[@highlight, @instance, [\"I7\"]]]);")));

    // And off again: a later highlight stays in the layout.
    ASSERT_TRUE(PumpUntilTranscriptHas(Received("$ly_sx_action([[@unhighlight, @instance, [\"I4\"]]]);")));
    layout.highlightEventComponents = {"U1"};
    document->Fire(22);

    ASSERT_TRUE(PumpUntilCalled("ToolTerminated Design Ostrine", kSimulatorPatienceMilliseconds));
    EXPECT_EQ(simulator->Finish(), 0u);
    tool->EndLink();

    EXPECT_EQ(ReceivedContaining("@select"), (std::vector<std::string>{Received(SelectInstances("\"I1\""))}));
    EXPECT_TRUE(ReceivedContaining("@highlight, @instance, [\"I1\"]").empty()) << "sent after highlighting went off";
    EXPECT_FALSE(FileExists(Exchange("ly_to_sx_pipe"))) << "a terminate command followed the schematic side's end";
    EXPECT_TRUE(LockEntriesNow().empty()) << ReadFileBytes(Exchange("sx_ly.lock"));
    transcript.ExpectInOrder({"sent instance S I2", "sent net S GND", "sent pin S U7-12", "sent instance H",
                              "sent instance I", "sent TerminateXprobe",
                              "unregistered " + std::to_string(simulator->Pid()),
                              "exit 0 the scenario ended the link"});
}

TEST_F(EndToEndTest, LinkEndTellsTheSchematicSideWhichLeavesAndRemovesItsEntry) {
    ComPtr<IHostToolLink> tool = NewTool();
    ASSERT_HRESULT_SUCCEEDED(StartLink(tool.Get(), designDirectory));
    StartSimulator("# nothing to do but wait for the layout side to end the link\n");
    const LockEntries bothSides{{"Routana", static_cast<int>(::GetCurrentProcessId()), std::nullopt},
                                {"SX", simulator->Pid(), "pcb_design_vpt"}};
    EXPECT_EQ(LockEntriesNow(), bothSides);

    EXPECT_HRESULT_SUCCEEDED(tool->EndLink());
    EXPECT_EQ(simulator->Finish(), 0u);

    EXPECT_TRUE(transcript.Has(Received(kTerminateCommand)));
    EXPECT_TRUE(transcript.Has("exit 0 the layout side ended the link"));
    EXPECT_FALSE(FileExists(Exchange("ly_to_sx_pipe")));
    EXPECT_TRUE(LockEntriesNow().empty()) << ReadFileBytes(Exchange("sx_ly.lock"));
}

}  // namespace
}  // namespace vantik::test
