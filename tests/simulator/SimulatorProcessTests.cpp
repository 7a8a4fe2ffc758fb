// The real simulator program as a child process, against a scratch exchange
// directory: what it writes into the lock file and the incoming file, what it
// takes from the outgoing file, and how it leaves.

#include "coordination/LockFileText.h"
#include "tests/simulator/SimulatorProcess.h"
#include "tests/support/ScratchDirectory.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantik::test {
namespace {

constexpr const char* kTerminateCommand = "$ly_sx_terminate_crossprobe()";

// Written in text mode, as the layout side writes its files.
void WriteText(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr) << path;
    std::fputs(text.c_str(), file);
    std::fclose(file);
}

// The way the launcher starts the schematic tool: "sh launchSX.sh" in the
// design directory, the script's last line running bin/<name> with the
// command file on its standard input. Under Wine the handle of a native
// program cannot be waited on, so only the start is reported here.
bool StartLaunchScript(const std::string& directory) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "sh launchSX.sh";
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                          &startup, &process)) {
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

class SimulatorProcessTest : public ::testing::Test {
protected:
    // The exchange directory must come from what each test says, not from the
    // environment the tests were started in.
    ScopedEnvironment noExchangeVariable_{"TLK_SX_XPROBE_DIR", nullptr};
    ScratchDirectory design_;

    std::string LockPath() const { return design_.Path("sx_ly.lock"); }
    std::string IncomingPath() const { return design_.Path("sx_to_ly_pipe"); }
    std::string OutgoingPath() const { return design_.Path("ly_to_sx_pipe"); }
    std::string TranscriptPath() const { return design_.Path("transcript.txt"); }

    std::string WriteCommandFile(const std::string& designDirectory, const std::string& viewpoint) {
        const std::string path = design_.Path("lycmds");
        WriteText(path, CommandFileText(designDirectory, viewpoint));
        return path;
    }

    std::string WriteScenario(const std::string& text) {
        const std::string path = design_.Path("scenario.txt");
        WriteText(path, text);
        return path;
    }

    std::string Arguments(const std::string& scenarioPath, const std::string& extra = "") const {
        return "--scenario \"" + scenarioPath + "\" --transcript \"" + TranscriptPath() + "\" --timeout 60 " +
               extra;
    }

    LockEntries LockEntriesNow() const { return ParseLockEntries(ReadFileIfPresent(LockPath()).value_or("")); }

    TranscriptFile Transcript() const { return TranscriptFile(TranscriptPath()); }
    bool TranscriptHas(const std::string& line) const { return Transcript().Has(line); }
    void ExpectTranscriptInOrder(const std::vector<std::string>& expected) const {
        Transcript().ExpectInOrder(expected);
    }

    // Plays the layout side's reader: waits for the incoming file, reads it and deletes it.
    std::optional<std::string> TakeIncoming() {
        if (!WaitUntil([&] { return FileExists(IncomingPath()); })) return std::nullopt;
        std::optional<std::string> text;
        WaitUntil([&] {
            text = ReadFileIfPresent(IncomingPath());
            return text.has_value() && ::DeleteFileA(IncomingPath().c_str()) != 0;
        });
        return text;
    }
};

TEST_F(SimulatorProcessTest, ServesALinkAndLeavesOnTheTerminateCommand) {
    WriteText(LockPath(), "Routana 4242\n");
    const std::string commands = WriteCommandFile(design_.Root().substr(0, design_.Root().size() - 1),
                                                  "pcb_design_vpt");
    const std::string scenario = WriteScenario(
        "# answer the layout's selection with one of our own\n"
        "wait-for [\"U1\"]\n"
        "send instance S U1\n");
    SimulatorProcess simulator(Arguments(scenario), commands);
    ASSERT_TRUE(simulator.Started());

    const LockEntries registered{{"Routana", 4242, std::nullopt}, {"SX", simulator.Pid(), "pcb_design_vpt"}};
    ASSERT_TRUE(WaitUntil([&] { return LockEntriesNow() == registered; })) << *ReadFileIfPresent(LockPath());

    WriteText(OutgoingPath(), "$crossprobe_unselect_all()\n$ly_sx_action([[@select, @instance, [\"U1\"]]]);\n");
    EXPECT_EQ(TakeIncoming(), "instance S U1\r\n");
    EXPECT_FALSE(FileExists(OutgoingPath()));

    WriteText(OutgoingPath(), std::string(kTerminateCommand) + "\n");
    EXPECT_EQ(simulator.Finish(), 0u);
    EXPECT_FALSE(FileExists(OutgoingPath()));
    EXPECT_EQ(LockEntriesNow(), (LockEntries{{"Routana", 4242, std::nullopt}}));
    ExpectTranscriptInOrder({
        "stdin $ly_sx_enable_crossprobe();",
        "registered SX " + std::to_string(simulator.Pid()) + " pcb_design_vpt in " + design_.Root(),
        "received $crossprobe_unselect_all()",
        "received $ly_sx_action([[@select, @instance, [\"U1\"]]]);",
        "sent instance S U1",
        "received $ly_sx_terminate_crossprobe()",
        "unregistered " + std::to_string(simulator.Pid()),
        "exit 0 the layout side ended the link",
    });
}

TEST_F(SimulatorProcessTest, SendWaitsUntilTheFileWasTakenButAppendDoesNot) {
    const std::string commands = WriteCommandFile(design_.Root().substr(0, design_.Root().size() - 1), "top");
    const std::string scenario = WriteScenario(
        "send instance S U1\n"
        "send net S GND\n"
        "append net S VCC\n"
        "wait-taken\n"
        "exit\n");
    SimulatorProcess simulator(Arguments(scenario), commands);
    ASSERT_TRUE(simulator.Started());

    ASSERT_TRUE(WaitUntil([&] { return TranscriptHas("sent instance S U1"); }));
    EXPECT_FALSE(TranscriptHas("sent net S GND"));
    EXPECT_EQ(TakeIncoming(), "instance S U1\r\n");

    ASSERT_TRUE(WaitUntil([&] { return TranscriptHas("sent net S VCC"); }));
    EXPECT_EQ(TakeIncoming(), "net S GND\r\nnet S VCC\r\n");

    EXPECT_EQ(simulator.Finish(), 0u);
    EXPECT_TRUE(LockEntriesNow().empty());
}

TEST_F(SimulatorProcessTest, TerminateStepSendsTerminateXprobeAndLeaves) {
    const std::string commands = WriteCommandFile(design_.Root().substr(0, design_.Root().size() - 1), "top");
    SimulatorProcess simulator(Arguments(WriteScenario("terminate\n")), commands);
    ASSERT_TRUE(simulator.Started());

    EXPECT_EQ(simulator.Finish(), 0u);
    EXPECT_EQ(ReadFileIfPresent(IncomingPath()), "TerminateXprobe\r\n");
    EXPECT_TRUE(FileExists(LockPath()));
    EXPECT_TRUE(LockEntriesNow().empty());
    EXPECT_TRUE(TranscriptHas("registered SX " + std::to_string(simulator.Pid()) + " top in " + design_.Root()));
}

TEST_F(SimulatorProcessTest, ExchangeDirectoryFromEnvironmentThenOptionThenDesignDirectory) {
    const std::string designDirectory = design_.Root().substr(0, design_.Root().size() - 1);
    struct Case { const char* label; const char* variable; bool option; const std::string* expected; };
    const std::string environmentPath = design_.MakeDirectory("from-variable") + "\\";
    const std::string optionPath = design_.MakeDirectory("from-option") + "\\";
    const std::string designPath = design_.Root();
    const std::string environmentValue = WithSlashes(environmentPath);
    const std::string designRule = "-design";
    const Case cases[] = {
        {"variable wins over the option", environmentValue.c_str(), true, &environmentPath},
        {"-design rule of the variable", designRule.c_str(), true, &designPath},
        {"option without the variable", nullptr, true, &optionPath},
        {"design directory last", nullptr, false, &designPath},
    };
    const std::string commands = WriteCommandFile(designDirectory, "pcb_design_vpt");
    const std::string scenario = WriteScenario("exit\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const std::string* path : {&environmentPath, &optionPath, &designPath}) {
            ::DeleteFileA((*path + "sx_ly.lock").c_str());
        }
        ScopedEnvironment variable("TLK_SX_XPROBE_DIR", c.variable);
        const std::string option = c.option ? "--exchange-dir \"" + WithSlashes(optionPath) + "\"" : "";
        SimulatorProcess simulator(Arguments(scenario, option), commands);
        ASSERT_TRUE(simulator.Started());
        EXPECT_EQ(simulator.Finish(), 0u);

        EXPECT_TRUE(TranscriptHas("registered SX " + std::to_string(simulator.Pid()) + " pcb_design_vpt in " +
                                  *c.expected));
        for (const std::string* path : {&environmentPath, &optionPath, &designPath}) {
            EXPECT_EQ(FileExists(*path + "sx_ly.lock"), path == c.expected) << *path;
        }
    }
}

TEST_F(SimulatorProcessTest, TimeOutReportsTheStepAndRemovesTheLockEntry) {
    const std::string commands = WriteCommandFile(design_.Root().substr(0, design_.Root().size() - 1), "top");
    const std::string scenario = WriteScenario("wait-for never sent\n");
    SimulatorProcess simulator("--scenario \"" + scenario + "\" --transcript \"" + TranscriptPath() +
                                   "\" --timeout 1",
                               commands);
    ASSERT_TRUE(simulator.Started());

    EXPECT_EQ(simulator.Finish(), 2u);
    EXPECT_TRUE(LockEntriesNow().empty());
    EXPECT_TRUE(TranscriptHas("exit 2 time-out after 1 s at step 1 (wait-for never sent)"));
}

TEST_F(SimulatorProcessTest, LinkEndedByTheLayoutSideBeforeTheScenarioWasDone) {
    const std::string commands = WriteCommandFile(design_.Root().substr(0, design_.Root().size() - 1), "top");
    SimulatorProcess simulator(Arguments(WriteScenario("wait-for never sent\n")), commands);
    ASSERT_TRUE(simulator.Started());
    ASSERT_TRUE(WaitUntil([&] { return !LockEntriesNow().empty(); }));

    WriteText(OutgoingPath(), std::string(kTerminateCommand) + "\n");
    EXPECT_EQ(simulator.Finish(), 3u);
    EXPECT_TRUE(LockEntriesNow().empty());
}

TEST_F(SimulatorProcessTest, ServesUnderEachNameTheLaunchScriptStarts) {
    const std::string commands = WriteCommandFile(design_.Root().substr(0, design_.Root().size() - 1), "top");
    ScopedEnvironment scenario("VANTIK_SXSIM_SCENARIO", WriteScenario("terminate\n").c_str());
    ScopedEnvironment timeout("VANTIK_SXSIM_TIMEOUT", "60");
    for (const std::string name : {"sx ", "ky", "sx_dms", "ky_dms"}) {
        SCOPED_TRACE(name);
        const std::string transcriptPath = design_.Path("transcript-" + name + ".txt");
        ScopedEnvironment transcript("VANTIK_SXSIM_TRANSCRIPT", transcriptPath.c_str());
        WriteText(design_.Path("launchSX.sh"),
                  "export TLK_XPROBE_SX=enable\n" + std::string(VANTIK_SXSIM_BIN_DIR) + "/" + name + " < lycmds");
        ASSERT_TRUE(StartLaunchScript(design_.Root()));

        std::vector<std::string> lines;
        ASSERT_TRUE(WaitUntil([&] {
            lines = SplitAtLineFeeds(ReadFileIfPresent(transcriptPath).value_or(""));
            return !lines.empty() && lines.back().rfind("exit ", 0) == 0;
        }));
        EXPECT_EQ(lines.back(), "exit 0 the scenario ended the link");
        EXPECT_EQ(lines.front(), "stdin " + SplitAtLineFeeds(*ReadFileIfPresent(commands)).front());
        EXPECT_EQ(TakeIncoming(), "TerminateXprobe\r\n");
        EXPECT_TRUE(LockEntriesNow().empty());
        // Gone once the simulator has closed it, that is once it has ended.
        EXPECT_TRUE(WaitUntil([&] { return ::DeleteFileA(transcriptPath.c_str()) != 0; }));
    }
}

TEST_F(SimulatorProcessTest, RefusedStartsRegisterNothing) {
    const std::string designDirectory = design_.Root().substr(0, design_.Root().size() - 1);
    const std::string commands = WriteCommandFile(designDirectory, "top");
    const std::string badScenario = WriteScenario("wait-for x\nsned instance S U1\n");
    const std::string missing = WithSlashes(design_.Path("missing"));
    struct Case { const char* label; std::string arguments; std::string standardInput; };
    const Case cases[] = {
        {"scenario with a mistake", "--scenario \"" + badScenario + "\"", commands},
        {"no exchange directory anywhere", "", ""},
        {"exchange directory that does not exist", "--exchange-dir \"" + missing + "\"", commands},
        {"unknown argument", "--scenari x", commands},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        SimulatorProcess simulator(c.arguments, c.standardInput);
        ASSERT_TRUE(simulator.Started());
        EXPECT_EQ(simulator.Finish(), 1u);
        EXPECT_FALSE(FileExists(LockPath()));
    }
}

}  // namespace
}  // namespace vantik::test
