#pragma once
// What the schematic tool simulator reads, apart from any file access: its
// scenario, the command file on its standard input, the outgoing exchange file
// and its own command line.
//
// A scenario is plain text, one step per line; blank lines and lines whose
// first non-blank character is '#' are skipped. A step is a keyword, and for
// the steps that take one, one blank and an argument that runs verbatim to the
// end of the line (blanks and tabs inside it kept):
//     wait-for <text>   wait until a command received since the last matched
//                       one contains <text>
//     send <message>    wait until the layout side has taken the incoming
//                       file, then write <message> as one line of a new one
//     append <message>  add <message> to the incoming file at once, even when
//                       the layout side has not taken it yet
//     wait-taken        wait until the layout side has taken the incoming file
//     sleep <ms>        wait that many milliseconds
//     terminate         send "TerminateXprobe" as "send" does, then leave
//     exit              leave at once
// "send" and "append" without an argument write an empty line.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantik::simulator {

enum class StepKind { WaitFor, Send, Append, WaitTaken, Sleep, Terminate, Exit };

struct ScenarioStep {
    StepKind kind = StepKind::Exit;
    std::string text;                 // WaitFor: the text; Send, Append: the message line
    std::uint32_t milliseconds = 0;   // Sleep
    int lineNumber = 0;               // in the scenario file, for messages
    std::string source;               // the step's line as written, for the transcript
};

struct ScenarioParseResult {
    std::vector<ScenarioStep> steps;
    std::string error;    // empty when the whole text was understood
    int errorLine = 0;
};

ScenarioParseResult ParseScenario(std::string_view text);

// The lines of a text file read in binary: split at line feeds, one carriage
// return before each line feed dropped, no empty last line for a final line end.
std::vector<std::string> SplitLines(std::string_view text);

// What the command file told the schematic tool.
struct CommandFileSettings {
    std::vector<std::string> lines;
    std::optional<std::string> viewpointPath;    // first argument of the viewpoint command
    std::optional<std::string> designDirectory;  // its second argument
    bool crossprobeEnabled = false;
};

CommandFileSettings ParseCommandFile(std::string_view text);

// The viewpoint token of the lock-file entry: the last component of the
// viewpoint path ("C:/work/board/pcb_design_vpt" gives "pcb_design_vpt").
// Trailing separators are passed over, since a token must not be empty, and
// white space becomes '_', since the lock file separates fields by it.
// A path that leaves nothing gives the default viewpoint name.
std::string ViewpointToken(std::string_view viewpointPath);

constexpr const char* kDefaultViewpointName = "pcb_design_vpt";

struct SimulatorOptions {
    std::string scenarioPath;
    std::string transcriptPath;
    std::string exchangeDirectory;     // used when TLK_SX_XPROBE_DIR is not set
    std::uint32_t timeoutSeconds = 0;  // 0: no limit
    bool quiet = false;                // transcript lines not echoed to standard output
    bool help = false;
};

struct OptionsParseResult {
    SimulatorOptions options;
    std::string error;  // empty when every argument was understood
};

// Arguments after the program name: --scenario FILE, --transcript FILE,
// --exchange-dir DIR, --timeout SECONDS, --quiet, --help.
OptionsParseResult ParseOptions(const std::vector<std::string>& arguments);

// A simulator started by the launch script gets no arguments, so options not
// given on the command line come from the environment, when set there:
// VANTIK_SXSIM_SCENARIO, VANTIK_SXSIM_TRANSCRIPT and VANTIK_SXSIM_TIMEOUT.
// lookUp answers a variable's value, or nothing when it is not set.
using EnvironmentLookUp = std::function<std::optional<std::string>(const char* name)>;
OptionsParseResult ParseOptions(const std::vector<std::string>& arguments, const EnvironmentLookUp& lookUp);

const char* UsageText();

}  // namespace vantik::simulator
