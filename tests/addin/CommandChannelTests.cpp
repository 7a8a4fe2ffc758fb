// Batches in the outgoing exchange file, held back while the schematic tool has
// not taken the last one, dropped by the stale rule; and the two logs.
#include <gtest/gtest.h>

#include "tests/addin/ToolFixture.h"

namespace vantik::test {
namespace {

using Strings = std::vector<std::string>;
const std::string kClear = "$crossprobe_unselect_all()";

using CommandChannelTest = ToolFixture;

TEST_F(CommandChannelTest, BatchStartsWithTheClearLineAndIsWrittenInTextMode) {
    tool->SendCommands({"$a()", "$b()"});
    EXPECT_EQ(Outgoing(), kClear + "\r\n$a()\r\n$b()\r\n");
}

TEST_F(CommandChannelTest, SendsWhileTheFileExistsAreHeldBackForTheNextBatch) {
    WriteFileText(tool->outFilePath, "untaken\n");
    tool->SendCommands({"$a()", "$b()"});
    tool->SendCommand("$c()");
    EXPECT_EQ(Outgoing(), "untaken\n");
    EXPECT_EQ(tool->pendingCommands, (Strings{"$a()", "$b()", "$c()"}));

    RemoveOutgoing();
    tool->SendCommands({"$d()"});
    EXPECT_EQ(Lines(Outgoing()), (Strings{kClear, "$a()", "$b()", "$c()", "$d()"}));
    EXPECT_TRUE(tool->pendingCommands.empty());
}

TEST_F(CommandChannelTest, EmptySendsFlushOnlyWhatIsHeldBack) {
    tool->SendCommand("");
    tool->SendCommands({});
    EXPECT_FALSE(OutgoingExists());

    tool->pendingCommands = {"$held()"};
    tool->SendCommand("");
    EXPECT_EQ(Lines(Outgoing()), (Strings{"$held()"}));

    RemoveOutgoing();
    tool->pendingCommands = {"$held()"};
    tool->SendCommands({});
    EXPECT_EQ(Lines(Outgoing()), (Strings{kClear, "$held()"}));
}

TEST_F(CommandChannelTest, MissingExchangeDirectoryDropsTheCommands) {
    UseExchange(scratch.Path("gone\\"));
    tool->pendingCommands = {"$held()"};
    tool->SendCommands({"$a()"});
    EXPECT_FALSE(OutgoingExists());
    EXPECT_EQ(tool->pendingCommands, (Strings{"$held()"}));
}

TEST_F(CommandChannelTest, HeldBackCommandsAreDroppedAtTheFifthDistinctSecond) {
    WriteFileText(tool->outFilePath, "untaken\n");
    tool->lastStaleCheck = 100;
    struct Send {
        std::int64_t second;
        const char* command;
        int staleCount;
        Strings pending;
    };
    const Send sends[] = {
        {100, "$a()", 0, {"$a()"}},
        {101, "$b()", 1, {"$a()", "$b()"}},
        {101, "$c()", 1, {"$a()", "$b()", "$c()"}},
        {102, "$d()", 2, {"$a()", "$b()", "$c()", "$d()"}},
        {103, "$e()", 3, {"$a()", "$b()", "$c()", "$d()", "$e()"}},
        {104, "$f()", 4, {"$a()", "$b()", "$c()", "$d()", "$e()", "$f()"}},
        // The fifth distinct second empties what was held, then holds its own.
        {105, "$g()", 0, {"$g()"}},
    };
    for (const Send& send : sends) {
        SCOPED_TRACE(send.command);
        SetTime(send.second);
        tool->SendCommand(send.command);
        EXPECT_EQ(tool->staleCount, send.staleCount);
        EXPECT_EQ(tool->lastStaleCheck, send.second);
        EXPECT_EQ(tool->pendingCommands, send.pending);
    }
    // A written batch does not reset the count.
    SetTime(106);
    tool->SendCommand("$h()");
    ASSERT_EQ(tool->staleCount, 1);
    RemoveOutgoing();
    tool->SendCommand("$i()");
    EXPECT_EQ(Lines(Outgoing()), (Strings{"$g()", "$h()", "$i()"}));
    EXPECT_EQ(tool->staleCount, 1);
    SetTime(107);
    tool->SendCommand("$j()");
    EXPECT_EQ(tool->staleCount, 2);
}

TEST_F(CommandChannelTest, OutgoingFileThatCannotBeMadeKeepsTheCommands) {
    tool->outFilePath = exchange + "no such folder\\ly_to_sx_pipe";
    tool->SendCommands({"$a()"});
    EXPECT_EQ(tool->pendingCommands, (Strings{"$a()"}));
}

TEST_F(CommandChannelTest, LogsOnlyWhenLoggingIsOn) {
    struct Case {
        const char* value;  // of the variable; null: not set
        bool logging;
    };
    // The variable's existence counts, not its value.
    for (const Case& c : {Case{nullptr, false}, Case{"1", true}, Case{"", true}}) {
        SCOPED_TRACE(c.value ? std::string("TLK_ENABLE_VANTIK_LOG=") + c.value : "not set");
        const bool logging = c.logging;
        ScopedEnvironment variable("TLK_ENABLE_VANTIK_LOG", c.value);
        MakeTool();
        EXPECT_EQ(tool->loggingEnabled, logging);
        tool->pendingCommands = {"$held()"};
        tool->SendCommands({"$a()", "$b()"});
        tool->LogIncoming("instance S U1\n");

        const std::string outgoingLog = exchange + "LogLY.txt";
        const std::string incomingLog = exchange + "LogSX.txt";
        EXPECT_EQ(FileExists(outgoingLog), logging);
        EXPECT_EQ(FileExists(incomingLog), logging);
        if (logging) {
            // Neither the clear line nor held-back commands are logged.
            EXPECT_EQ(ReadFileBytes(outgoingLog), "$a()\r\n$b()\r\n");
            // A line from the schematic tool keeps its own line end.
            EXPECT_EQ(ReadFileBytes(incomingLog), "instance S U1\r\n\r\n");
        }
        RemoveOutgoing();
        std::remove(outgoingLog.c_str());
        std::remove(incomingLog.c_str());
    }
}

}  // namespace
}  // namespace vantik::test
