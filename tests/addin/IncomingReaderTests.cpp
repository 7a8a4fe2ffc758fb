// Messages of the schematic tool, read from the incoming exchange file and
// applied to the reference host.
#include <gtest/gtest.h>

#include "tests/addin/ToolFixture.h"

namespace vantik::test {
namespace {

using Strings = std::vector<std::string>;

class IncomingReaderTest : public ToolFixture {
protected:
    // Reads one incoming file; the host's calls of the reading, in order.
    Strings Apply(const std::string& text, bool expectedResult = true) {
        document->layout.ClearCalls();
        WriteIncoming(text);
        EXPECT_EQ(tool->ReadIncoming(), expectedResult);
        EXPECT_FALSE(FileExists(tool->inFilePath));
        EXPECT_EQ(tool->applyingIncoming, 0);
        return document->layout.calls;
    }
};

TEST_F(IncomingReaderTest, LinesAreAppliedBetweenTheHostsUpdateCalls) {
    EXPECT_EQ(Apply("instance S U1\nnet S GND\n"),
              (Strings{"BeginUpdate", "SelectInstance U1", "SelectNet GND", "EndUpdate"}));
}

TEST_F(IncomingReaderTest, EachMessageReachesItsHostCall) {
    document->fireSelectionEvents = false;
    struct Case {
        const char* line;
        Strings calls;
    };
    const Case cases[] = {
        {"INSTANCE S U1", {"SelectInstance U1"}},
        {"instance s U1", {"UnselectAll"}},
        {"instance", {"UnselectAll"}},
        {"pin S U7-A-3", {"SelectPin U7 A-3"}},
        {"pin S U7", {}},
        {"pin X U7-1", {"UnselectAll"}},
        {"net S GND", {"SelectNet GND"}},
        {"net", {"UnselectAll"}},
        {"component S U1", {}},
        {"viewpoint S top", {}},
        {"unselectall", {"UnselectAll"}},
        {"SwitchToTW", {"SwitchToLayout"}},
        {"instance H", {"HighlightedComponents"}},
        {"instance I", {"HighlightedComponents"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Strings expected = {"BeginUpdate"};
        expected.insert(expected.end(), c.calls.begin(), c.calls.end());
        // A second line shows that the reading went on.
        expected.insert(expected.end(), {"SelectNet VCC", "EndUpdate"});
        EXPECT_EQ(Apply(std::string(c.line) + "\nnet S VCC\n"), expected);
    }
}

TEST_F(IncomingReaderTest, HighlightMessagesSwitchHighlightMode) {
    document->layout.highlightedComponents = {"U3"};
    Apply("instance H\n");
    EXPECT_EQ(tool->highlightMode, 1);
    EXPECT_EQ(Lines(Outgoing()).back(), "$ly_sx_action([[@highlight, @instance, [\"I4\"]]]);");
    RemoveOutgoing();
    Apply("instance I\n");
    EXPECT_EQ(tool->highlightMode, 0);
    EXPECT_EQ(Lines(Outgoing()).back(), "$ly_sx_action([[@unhighlight, @instance, [\"I4\"]]]);");
}

TEST_F(IncomingReaderTest, EmptyOrUnknownLineEndsTheReadingAndTheRestGoesWithTheFile) {
    EXPECT_EQ(Apply("net S GND\n\nnet S VCC\n"), (Strings{"BeginUpdate", "SelectNet GND", "EndUpdate"}));
    EXPECT_EQ(Apply("net S GND\nhello\nnet S VCC\n"), (Strings{"BeginUpdate", "SelectNet GND", "EndUpdate"}));
}

TEST_F(IncomingReaderTest, LongLineIsTakenInPiecesOf1023Characters) {
    ScopedEnvironment logging("TLK_ENABLE_VANTIK_LOG", "1");
    MakeTool();
    // The second piece starts with a message of its own after the blanks.
    const std::string first = "net S GND" + std::string(1023 - 9, ' ');
    const std::string second = std::string(1500 - 1 - 1023 - 9, ' ') + "net S VCC";
    EXPECT_EQ(Apply(first + second + "\n"), (Strings{"BeginUpdate", "SelectNet GND", "SelectNet VCC", "EndUpdate"}));
    // Each piece is logged as it was read, the second with the line's own end.
    EXPECT_EQ(ReadFileBytes(exchange + "LogSX.txt"), first + "\r\n" + second + "\r\n\r\n");
}

TEST_F(IncomingReaderTest, LinesEndingInCarriageReturnAndLineFeedAreReadAsText) {
    ScopedEnvironment logging("TLK_ENABLE_VANTIK_LOG", "1");
    MakeTool();
    EXPECT_EQ(Apply("net S GND\r\nnet S VCC\r\n"), (Strings{"BeginUpdate", "SelectNet GND", "SelectNet VCC", "EndUpdate"}));
    EXPECT_EQ(ReadFileBytes(exchange + "LogSX.txt"), "net S GND\r\n\r\nnet S VCC\r\n\r\n");
}

TEST_F(IncomingReaderTest, TerminateEndsTheReadingAndTellsTheHost) {
    ASSERT_EQ(StartLink(link.Get(), designDirectory), S_OK);
    ASSERT_NE(pollTimerId, 0u);
    EXPECT_EQ(Apply("net S GND\nTerminateXprobe\nnet S VCC\n", false),
              (Strings{"BeginUpdate", "SelectNet GND", "EndUpdate", "ToolTerminated Design Ostrine"}));
    EXPECT_TRUE(terminatedBySchematic);
    EXPECT_EQ(pollTimerId, 0u);

    // The schematic tool has gone: link end sends it nothing.
    tool->EndLink();
    EXPECT_FALSE(FileExists(exchange + "ly_to_sx_pipe"));
}

TEST_F(IncomingReaderTest, FailingHostCallsEndOnlyTheirLine) {
    document->fireSelectionEvents = false;
    document->layout.faults = {{"SelectInstance", refhost::HostFault::NegativeStatus}};
    EXPECT_EQ(Apply("instance S U1\nnet S GND\n"),
              (Strings{"BeginUpdate", "SelectInstance U1", "SelectNet GND", "EndUpdate"}));

    // Without a successful BeginUpdate there is no EndUpdate.
    document->layout.faults = {{"BeginUpdate", refhost::HostFault::NegativeStatus}};
    EXPECT_EQ(Apply("net S GND\n"), (Strings{"BeginUpdate", "SelectNet GND"}));

    // A failing ToolTerminated still ends the polling.
    document->layout.faults = {{"ToolTerminated", refhost::HostFault::NegativeStatus}};
    Apply("TerminateXprobe\n", false);
}

TEST_F(IncomingReaderTest, NoIncomingFileTouchesNothing) {
    EXPECT_TRUE(tool->ReadIncoming());
    EXPECT_TRUE(document->layout.calls.empty());
    UseExchange(scratch.Path("missing\\"));
    EXPECT_TRUE(tool->ReadIncoming());
    EXPECT_TRUE(document->layout.calls.empty());
}

TEST_F(IncomingReaderTest, LinesAreLoggedAsReadWhenLoggingIsOn) {
    ScopedEnvironment logging("TLK_ENABLE_VANTIK_LOG", "1");
    MakeTool();
    Apply("instance S U1\nnet S GND\n");
    EXPECT_EQ(ReadFileBytes(exchange + "LogSX.txt"), "instance S U1\r\n\r\nnet S GND\r\n\r\n");
}

TEST_F(IncomingReaderTest, SelectionAppliedFromTheSchematicSideIsNotSentBack) {
    // Linked, so the host's selection events reach the tool through its sink.
    ASSERT_EQ(StartLink(link.Get(), designDirectory), S_OK);
    document->layout.ClearCalls();
    WriteIncoming("instance S I1\nnet S GND\npin S U7-12\n");
    EXPECT_TRUE(tool->ReadIncoming());
    EXPECT_EQ(document->layout.calls,
              (Strings{"BeginUpdate", "SelectInstance I1", "SelectNet GND", "SelectPin U7 12", "EndUpdate"}));
    EXPECT_FALSE(OutgoingExists());

    // The same events outside the reading are sent.
    SetTime(5'000'000);
    EXPECT_HRESULT_SUCCEEDED(document->Fire(4));
    EXPECT_TRUE(OutgoingExists());
    tool->EndLink();
}

}  // namespace
}  // namespace vantik::test
