#include "simulator/SimulatorText.h"

#include <charconv>

namespace vantik::simulator {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view Trim(std::string_view text) {
    text = TrimLeft(text);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool StartsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

std::optional<std::uint32_t> ParseCount(std::string_view text) {
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || last != end) return std::nullopt;
    return value;
}

struct StepSyntax {
    std::string_view keyword;
    StepKind kind;
    enum { None, Optional, Required, Count } argument;
};

constexpr StepSyntax kStepSyntax[] = {
    {"wait-for", StepKind::WaitFor, StepSyntax::Required},
    {"send", StepKind::Send, StepSyntax::Optional},
    {"append", StepKind::Append, StepSyntax::Optional},
    {"wait-taken", StepKind::WaitTaken, StepSyntax::None},
    {"sleep", StepKind::Sleep, StepSyntax::Count},
    {"terminate", StepKind::Terminate, StepSyntax::None},
    {"exit", StepKind::Exit, StepSyntax::None},
};

const StepSyntax* FindStep(std::string_view keyword) {
    for (const StepSyntax& syntax : kStepSyntax) {
        if (syntax.keyword == keyword) return &syntax;
    }
    return nullptr;
}

// The text between the quotes of the index-th quoted argument of a command.
std::optional<std::string> QuotedArgument(std::string_view command, int index) {
    std::size_t position = 0;
    for (int i = 0;; ++i) {
        const std::size_t open = command.find('"', position);
        if (open == std::string_view::npos) return std::nullopt;
        const std::size_t close = command.find('"', open + 1);
        if (close == std::string_view::npos) return std::nullopt;
        if (i == index) return std::string(command.substr(open + 1, close - open - 1));
        position = close + 1;
    }
}

std::optional<std::string> OptionValue(const std::vector<std::string>& arguments, std::size_t& index) {
    if (index + 1 >= arguments.size()) return std::nullopt;
    return arguments[++index];
}

}  // namespace

ScenarioParseResult ParseScenario(std::string_view text) {
    ScenarioParseResult result;
    int lineNumber = 0;
    for (const std::string& line : SplitLines(text)) {
        ++lineNumber;
        const std::string_view content = TrimLeft(line);
        if (content.empty() || content.front() == '#') continue;

        const std::size_t blank = content.find(' ');
        const std::string_view keyword = content.substr(0, blank);
        const bool hasArgument = blank != std::string_view::npos;
        const std::string_view argument = hasArgument ? content.substr(blank + 1) : std::string_view();

        const auto fail = [&](std::string message) {
            result.steps.clear();
            result.error = std::move(message);
            result.errorLine = lineNumber;
            return result;
        };
        const StepSyntax* syntax = FindStep(keyword);
        if (syntax == nullptr) return fail("unknown step \"" + std::string(keyword) + "\"");

        ScenarioStep step;
        step.kind = syntax->kind;
        step.lineNumber = lineNumber;
        step.source = std::string(content);
        switch (syntax->argument) {
            case StepSyntax::None:
                if (!Trim(argument).empty()) return fail(std::string(keyword) + " takes no argument");
                break;
            case StepSyntax::Optional:
                step.text = std::string(argument);
                break;
            case StepSyntax::Required:
                if (argument.empty()) return fail(std::string(keyword) + " needs a text");
                step.text = std::string(argument);
                break;
            case StepSyntax::Count: {
                const std::optional<std::uint32_t> count = ParseCount(Trim(argument));
                if (!count) return fail(std::string(keyword) + " needs a number of milliseconds");
                step.milliseconds = *count;
                break;
            }
        }
        result.steps.push_back(std::move(step));
    }
    return result;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t lineFeed = text.find('\n');
        std::string_view line = text.substr(0, lineFeed);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(lineFeed == std::string_view::npos ? text.size() : lineFeed + 1);
    }
    return lines;
}

CommandFileSettings ParseCommandFile(std::string_view text) {
    CommandFileSettings settings;
    settings.lines = SplitLines(text);
    for (const std::string& line : settings.lines) {
        const std::string_view command = TrimLeft(line);
        if (StartsWith(command, "$ly_sx_set_crossprobe_viewpoint_component(")) {
            settings.viewpointPath = QuotedArgument(command, 0);
            settings.designDirectory = QuotedArgument(command, 1);
        } else if (StartsWith(command, "$ly_sx_enable_crossprobe(")) {
            settings.crossprobeEnabled = true;
        }
    }
    return settings;
}

std::string ViewpointToken(std::string_view viewpointPath) {
    while (!viewpointPath.empty() && (viewpointPath.back() == '/' || viewpointPath.back() == '\\')) {
        viewpointPath.remove_suffix(1);
    }
    const std::size_t separator = viewpointPath.find_last_of("/\\");
    std::string token(separator == std::string_view::npos ? viewpointPath : viewpointPath.substr(separator + 1));
    for (char& c : token) {
        if (IsBlank(c)) c = '_';
    }
    return token.empty() ? kDefaultViewpointName : token;
}

OptionsParseResult ParseOptions(const std::vector<std::string>& arguments) {
    OptionsParseResult result;
    SimulatorOptions& options = result.options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string* target = nullptr;
        if (argument == "--scenario") target = &options.scenarioPath;
        else if (argument == "--transcript") target = &options.transcriptPath;
        else if (argument == "--exchange-dir") target = &options.exchangeDirectory;

        if (target != nullptr) {
            const std::optional<std::string> value = OptionValue(arguments, i);
            if (!value) return {options, argument + " needs a value"};
            *target = *value;
        } else if (argument == "--timeout") {
            const std::optional<std::string> value = OptionValue(arguments, i);
            const std::optional<std::uint32_t> seconds = value ? ParseCount(*value) : std::nullopt;
            if (!seconds) return {options, "--timeout needs a number of seconds"};
            options.timeoutSeconds = *seconds;
        } else if (argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else {
            return {options, "unknown argument \"" + argument + "\""};
        }
    }
    return result;
}

OptionsParseResult ParseOptions(const std::vector<std::string>& arguments, const EnvironmentLookUp& lookUp) {
    OptionsParseResult result = ParseOptions(arguments);
    if (!result.error.empty()) return result;
    SimulatorOptions& options = result.options;
    const auto fill = [&](std::string& option, const char* name, const char* flag) {
        for (const std::string& argument : arguments) {
            if (argument == flag) return;
        }
        if (const std::optional<std::string> value = lookUp(name)) option = *value;
    };
    fill(options.scenarioPath, "VANTIK_SXSIM_SCENARIO", "--scenario");
    fill(options.transcriptPath, "VANTIK_SXSIM_TRANSCRIPT", "--transcript");
    std::string timeout;
    fill(timeout, "VANTIK_SXSIM_TIMEOUT", "--timeout");
    if (!timeout.empty()) {
        const std::optional<std::uint32_t> seconds = ParseCount(Trim(timeout));
        if (!seconds) return {options, "VANTIK_SXSIM_TIMEOUT needs a number of seconds"};
        options.timeoutSeconds = *seconds;
    }
    return result;
}

const char* UsageText() {
    return "usage: vantik_sxsim [--scenario FILE] [--transcript FILE] [--exchange-dir DIR]\n"
           "                    [--timeout SECONDS] [--quiet] < lycmds\n"
           "Plays the schematic side of the cross-probe exchange. The exchange directory is\n"
           "TLK_SX_XPROBE_DIR when set, else --exchange-dir, else the design directory of\n"
           "the command file. Leaves on $ly_sx_terminate_crossprobe() or a scenario's\n"
           "terminate or exit step.\n"
           "Started without arguments (as by the launch script), it takes the scenario,\n"
           "transcript and time-out from VANTIK_SXSIM_SCENARIO, VANTIK_SXSIM_TRANSCRIPT\n"
           "and VANTIK_SXSIM_TIMEOUT when they are set.\n"
           "Exit codes: 0 done, 1 error, 2 time-out, 3 link ended before the scenario was done.\n";
}

}  // namespace vantik::simulator
