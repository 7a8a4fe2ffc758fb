#include "simulator/SimulatorText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantik::simulator {
namespace {

TEST(ParseScenario, EveryStepKindWithCommentsBlankLinesAndLineEnds) {
    const std::string text =
        "# answer a selection\r\n"
        "\r\n"
        "wait-for $ly_sx_action([[@select, @instance, [\"U1\"\r\n"
        "  send instance S U1\n"
        "send  net\tS GND \n"
        "send\n"
        "append pin S U7-A-3\n"
        "wait-taken\n"
        "sleep 250\n"
        "terminate\n"
        "exit";
    const ScenarioParseResult result = ParseScenario(text);
    ASSERT_EQ(result.error, "");

    struct Expected { StepKind kind; std::string text; std::uint32_t milliseconds; int line; };
    const Expected expected[] = {
        {StepKind::WaitFor, "$ly_sx_action([[@select, @instance, [\"U1\"", 0, 3},
        {StepKind::Send, "instance S U1", 0, 4},
        {StepKind::Send, " net\tS GND ", 0, 5},  // verbatim after the one separating blank
        {StepKind::Send, "", 0, 6},
        {StepKind::Append, "pin S U7-A-3", 0, 7},
        {StepKind::WaitTaken, "", 0, 8},
        {StepKind::Sleep, "", 250, 9},
        {StepKind::Terminate, "", 0, 10},
        {StepKind::Exit, "", 0, 11},
    };
    ASSERT_EQ(result.steps.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(result.steps[i].source);
        EXPECT_EQ(result.steps[i].kind, expected[i].kind);
        EXPECT_EQ(result.steps[i].text, expected[i].text);
        EXPECT_EQ(result.steps[i].milliseconds, expected[i].milliseconds);
        EXPECT_EQ(result.steps[i].lineNumber, expected[i].line);
    }
}

TEST(ParseScenario, MistakesAreReportedWithTheirLine) {
    struct Case { const char* text; int line; const char* error; };
    const Case cases[] = {
        {"send a\nsned b\n", 2, "unknown step \"sned\""},
        {"wait-for\n", 1, "wait-for needs a text"},
        {"wait-for \n", 1, "wait-for needs a text"},
        {"sleep\n", 1, "sleep needs a number of milliseconds"},
        {"sleep 1s\n", 1, "sleep needs a number of milliseconds"},
        {"sleep -5\n", 1, "sleep needs a number of milliseconds"},
        {"sleep 99999999999\n", 1, "sleep needs a number of milliseconds"},
        {"# fine\n\nterminate now\n", 3, "terminate takes no argument"},
        {"exit 0\n", 1, "exit takes no argument"},
        {"Send a\n", 1, "unknown step \"Send\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ScenarioParseResult result = ParseScenario(c.text);
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(result.errorLine, c.line);
        EXPECT_TRUE(result.steps.empty());
    }
}

TEST(ParseScenario, EmptyScenarioHasNoSteps) {
    const ScenarioParseResult result = ParseScenario("# nothing to do\n\n");
    EXPECT_EQ(result.error, "");
    EXPECT_TRUE(result.steps.empty());
}

TEST(SplitLines, CarriageReturnBeforeLineFeedIsDropped) {
    struct Case { const char* label; std::string text; std::vector<std::string> lines; };
    const Case cases[] = {
        {"empty", "", {}},
        {"text-mode lines", "a\r\nb\r\n", {"a", "b"}},
        {"last line without end", "a\nb", {"a", "b"}},
        {"empty line inside", "a\n\nb\n", {"a", "", "b"}},
        {"lone carriage return kept inside", "a\rb\n", {"a\rb"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(SplitLines(c.text), c.lines);
    }
}

TEST(ParseCommandFile, ViewpointDesignDirectoryAndEnable) {
    const CommandFileSettings settings = ParseCommandFile(
        "$ly_sx_set_crossprobe_viewpoint_component(\"C:/work/board/pcb_design_vpt\", \"C:/work/board\");\r\n"
        "$ly_sx_enable_crossprobe();\r\n");
    EXPECT_EQ(settings.lines.size(), 2u);
    EXPECT_EQ(settings.viewpointPath, "C:/work/board/pcb_design_vpt");
    EXPECT_EQ(settings.designDirectory, "C:/work/board");
    EXPECT_TRUE(settings.crossprobeEnabled);
}

TEST(ParseCommandFile, MissingCommandsLeaveTheirSettingsEmpty) {
    const CommandFileSettings empty = ParseCommandFile("");
    EXPECT_FALSE(empty.viewpointPath.has_value());
    EXPECT_FALSE(empty.designDirectory.has_value());
    EXPECT_FALSE(empty.crossprobeEnabled);

    const CommandFileSettings oneArgument =
        ParseCommandFile("$ly_sx_set_crossprobe_viewpoint_component(\"C:/b/top\");\n");
    EXPECT_EQ(oneArgument.viewpointPath, "C:/b/top");
    EXPECT_FALSE(oneArgument.designDirectory.has_value());
    EXPECT_FALSE(oneArgument.crossprobeEnabled);
}

TEST(ViewpointToken, LastComponentOfTheViewpointPath) {
    struct Case { const char* path; const char* token; };
    const Case cases[] = {
        {"C:/work/board/pcb_design_vpt", "pcb_design_vpt"},
        {"C:/work/board//top", "top"},
        {"C:\\work\\board\\top", "top"},
        {"top", "top"},
        {"C:/work/board//", "board"},
        {"C:/work/my board/my vpt", "my_vpt"},
        {"", "pcb_design_vpt"},
        {"//", "pcb_design_vpt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ViewpointToken(c.path), c.token);
    }
}

TEST(ParseOptions, EveryOptionAndTheMistakes) {
    const OptionsParseResult all = ParseOptions({"--scenario", "s.txt", "--transcript", "t.txt",
                                                 "--exchange-dir", "C:/x", "--timeout", "30", "--quiet"});
    ASSERT_EQ(all.error, "");
    EXPECT_EQ(all.options.scenarioPath, "s.txt");
    EXPECT_EQ(all.options.transcriptPath, "t.txt");
    EXPECT_EQ(all.options.exchangeDirectory, "C:/x");
    EXPECT_EQ(all.options.timeoutSeconds, 30u);
    EXPECT_TRUE(all.options.quiet);
    EXPECT_FALSE(all.options.help);

    struct Case { std::vector<std::string> arguments; const char* error; };
    const Case cases[] = {
        {{"--scenario"}, "--scenario needs a value"},
        {{"--timeout", "soon"}, "--timeout needs a number of seconds"},
        {{"--timeout"}, "--timeout needs a number of seconds"},
        {{"scenario.txt"}, "unknown argument \"scenario.txt\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(ParseOptions(c.arguments).error, c.error);
    }
}

TEST(ParseOptions, EnvironmentFillsOnlyWhatTheCommandLineLeavesOut) {
    const auto environment = [](const char* name) -> std::optional<std::string> {
        const std::string variable = name;
        if (variable == "VANTIK_SXSIM_SCENARIO") return std::string("env-scenario.txt");
        if (variable == "VANTIK_SXSIM_TRANSCRIPT") return std::string("env-transcript.txt");
        if (variable == "VANTIK_SXSIM_TIMEOUT") return std::string("45");
        return std::nullopt;
    };
    const OptionsParseResult launched = ParseOptions({}, environment);
    ASSERT_EQ(launched.error, "");
    EXPECT_EQ(launched.options.scenarioPath, "env-scenario.txt");
    EXPECT_EQ(launched.options.transcriptPath, "env-transcript.txt");
    EXPECT_EQ(launched.options.timeoutSeconds, 45u);

    const OptionsParseResult given = ParseOptions({"--scenario", "s.txt", "--timeout", "0"}, environment);
    ASSERT_EQ(given.error, "");
    EXPECT_EQ(given.options.scenarioPath, "s.txt");
    EXPECT_EQ(given.options.transcriptPath, "env-transcript.txt");
    EXPECT_EQ(given.options.timeoutSeconds, 0u);

    const auto badTimeout = [](const char* name) -> std::optional<std::string> {
        if (std::string(name) == "VANTIK_SXSIM_TIMEOUT") return std::string("later");
        return std::nullopt;
    };
    EXPECT_EQ(ParseOptions({}, badTimeout).error, "VANTIK_SXSIM_TIMEOUT needs a number of seconds");
}

}  // namespace
}  // namespace vantik::simulator
