// vantik_sxsim: a stand-in for the schematic tool, for end-to-end tests and
// the demo. The same program serves under the names sx, ky, sx_dms and ky_dms.

#include "coordination/LockFile.h"
#include "fsutil/FileText.h"
#include "simulator/Simulator.h"
#include "simulator/SimulatorText.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace vantik::simulator;

std::string ReadStream(std::FILE* stream) {
    std::string text;
    vantik::ReadToEnd(stream, text);
    return text;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    const vantik::UniqueFile file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    return ReadStream(file.get());
}

// The command file comes on standard input, as the launch script redirects it.
// A console is nobody's command file: reading it would wait for a user.
std::string ReadCommandFile() {
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE || ::GetFileType(input) == FILE_TYPE_CHAR) return {};
    _setmode(_fileno(stdin), _O_BINARY);
    return ReadStream(stdin);
}

int Fail(const std::string& reason) {
    std::fprintf(stderr, "vantik_sxsim: %s\n", reason.c_str());
    return kExitError;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const OptionsParseResult parsed = ParseOptions(arguments, [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    });
    if (!parsed.error.empty()) {
        std::fputs(UsageText(), stderr);
        return Fail(parsed.error);
    }
    const SimulatorOptions& options = parsed.options;
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return kExitDone;
    }

    std::vector<ScenarioStep> steps;
    if (!options.scenarioPath.empty()) {
        const std::optional<std::string> text = ReadWholeFile(options.scenarioPath);
        if (!text) return Fail("cannot read the scenario " + options.scenarioPath);
        ScenarioParseResult scenario = ParseScenario(*text);
        if (!scenario.error.empty()) {
            return Fail(options.scenarioPath + " line " + std::to_string(scenario.errorLine) + ": " +
                        scenario.error);
        }
        steps = std::move(scenario.steps);
    }

    Transcript transcript(options.transcriptPath, options.quiet);
    if (!transcript.IsOpen()) return Fail("cannot write the transcript " + options.transcriptPath);

    Simulator simulator(options, std::move(steps), ParseCommandFile(ReadCommandFile()), transcript);
    const Outcome outcome = simulator.Run();
    transcript.Record("exit", std::to_string(outcome.exitCode) + " " + outcome.reason);
    if (outcome.exitCode != kExitDone) {
        std::fprintf(stderr, "vantik_sxsim: %s\n", outcome.reason.c_str());
    } else if (!options.quiet) {
        std::printf("vantik_sxsim: %s\n", outcome.reason.c_str());
    }
    return outcome.exitCode;
}
