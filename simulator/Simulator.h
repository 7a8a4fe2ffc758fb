#pragma once
// The schematic tool simulator: plays the schematic side of a cross-probe link
// through the exchange directory, step by step as its scenario says.

#include "coordination/LockFile.h"
#include "simulator/SimulatorText.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace vantik::simulator {

enum ExitCode : int {
    kExitDone = 0,
    kExitError = 1,
    kExitTimeout = 2,
    kExitLinkEndedEarly = 3,
};

struct Outcome {
    int exitCode = kExitDone;
    std::string reason;
};

// Every line goes to the transcript file at once, so that a test can read it
// while the simulator still runs; and to standard output unless quiet.
class Transcript {
public:
    Transcript(const std::string& path, bool quiet);
    bool IsOpen() const { return path_.empty() || file_ != nullptr; }
    void Record(const std::string& kind, const std::string& text);

private:
    std::string path_;
    UniqueFile file_;
    bool quiet_;
};

class Simulator {
public:
    Simulator(SimulatorOptions options, std::vector<ScenarioStep> steps, CommandFileSettings commands,
              Transcript& transcript);

    // Finds the exchange directory, registers in the lock file, serves the link
    // and leaves it, removing the lock entry on every way out once registered.
    Outcome Run();

private:
    enum class StepProgress { Waiting, Done, Leave, Failed };

    bool ResolveExchangeDirectory(std::string& error);
    Outcome Serve();
    bool TakeOutgoingCommands(std::string& error);
    StepProgress Advance(ScenarioStep& step, std::string& error);
    StepProgress WriteIncoming(const std::string& message, bool waitUntilTaken, std::string& error);
    bool TimedOut() const;
    Outcome Leave(Outcome outcome);

    SimulatorOptions options_;
    std::vector<ScenarioStep> steps_;
    CommandFileSettings commands_;
    Transcript& transcript_;

    std::string exchangeDirectory_;  // ends in a backslash, or empty for the current directory
    std::string incomingPath_;       // "sx_to_ly_pipe": written here, read by the layout side
    std::string outgoingPath_;       // "ly_to_sx_pipe": written by the layout side, taken here
    std::int32_t processId_ = 0;

    std::vector<std::string> received_;
    std::size_t matchCursor_ = 0;  // wait-for looks at commands from here on
    bool linkEndedByLayout_ = false;
    std::size_t currentStep_ = 0;
    bool stepStarted_ = false;
    std::uint64_t sleepUntil_ = 0;
    std::uint64_t deadline_ = 0;  // 0: no limit
};

}  // namespace vantik::simulator
