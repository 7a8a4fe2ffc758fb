#include "simulator/Simulator.h"

#include "coordination/ExchangeDirectory.h"
#include "coordination/LockFile.h"
#include "fsutil/PathChecks.h"
#include "fsutil/PathString.h"
#include "simulator/ExchangeFiles.h"

#include <windows.h>

#include <cstdlib>

namespace vantik::simulator {
namespace {

constexpr DWORD kPollMilliseconds = 100;
constexpr const char* kTerminateCommand = "$ly_sx_terminate_crossprobe()";
constexpr const char* kTerminateMessage = "TerminateXprobe";

std::uint64_t Now() { return ::GetTickCount64(); }

std::string DescribeStep(const ScenarioStep& step) {
    return "step " + std::to_string(step.lineNumber) + " (" + step.source + ")";
}

}  // namespace

Transcript::Transcript(const std::string& path, bool quiet) : path_(path), quiet_(quiet) {
    if (!path_.empty()) file_.reset(std::fopen(path_.c_str(), "w"));
}

void Transcript::Record(const std::string& kind, const std::string& text) {
    const std::string line = text.empty() ? kind : kind + " " + text;
    if (file_) {
        std::fprintf(file_.get(), "%s\n", line.c_str());
        std::fflush(file_.get());
    }
    if (!quiet_) {
        std::printf("sxsim: %s\n", line.c_str());
        std::fflush(stdout);
    }
}

Simulator::Simulator(SimulatorOptions options, std::vector<ScenarioStep> steps, CommandFileSettings commands,
                     Transcript& transcript)
    : options_(std::move(options)),
      steps_(std::move(steps)),
      commands_(std::move(commands)),
      transcript_(transcript) {}

Outcome Simulator::Run() {
    processId_ = static_cast<std::int32_t>(::GetCurrentProcessId());
    if (options_.timeoutSeconds > 0) deadline_ = Now() + std::uint64_t{options_.timeoutSeconds} * 1000;
    for (const std::string& line : commands_.lines) transcript_.Record("stdin", line);
    if (!commands_.crossprobeEnabled) transcript_.Record("note", "the command file did not enable cross-probing");

    std::string error;
    if (!ResolveExchangeDirectory(error)) return {kExitError, error};
    incomingPath_ = exchangeDirectory_ + kIncomingExchangeFileName;
    outgoingPath_ = exchangeDirectory_ + kOutgoingExchangeFileName;

    const std::string viewpoint = ViewpointToken(commands_.viewpointPath.value_or(kDefaultViewpointName));
    error = RegisterSchematicEntry(exchangeDirectory_, processId_, viewpoint);
    if (!error.empty()) return {kExitError, error};
    transcript_.Record("registered",
                       "SX " + std::to_string(processId_) + " " + viewpoint + " in " + exchangeDirectory_);
    return Leave(Serve());
}

// The same order as the layout side uses for its own choice, so that both
// meet in one directory: the environment first, then what this run was told,
// then the design directory of the command file.
bool Simulator::ResolveExchangeDirectory(std::string& error) {
    PathString designDirectory(commands_.designDirectory.value_or(""));
    designDirectory.ToBackslashes();

    if (const char* value = std::getenv(kExchangeDirectoryVariable)) {
        ExchangeLocation location;
        if (!vantik::ResolveExchangeDirectory(designDirectory, false, location)) {
            error = std::string("no exchange directory for ") + kExchangeDirectoryVariable + "=" + value;
            return false;
        }
        exchangeDirectory_ = location.exchangeDirectory;
        return true;
    }
    if (!options_.exchangeDirectory.empty()) {
        PathString directory(options_.exchangeDirectory);
        directory.ToBackslashes();
        directory.AddTrailingBackslash();
        if (!IsDirectoryPath(directory)) {
            error = "the exchange directory " + directory.str() + " does not exist";
            return false;
        }
        exchangeDirectory_ = directory;
        return true;
    }
    if (!commands_.designDirectory) {
        error = std::string("no exchange directory: ") + kExchangeDirectoryVariable +
                " is not set, --exchange-dir is not given and the command file names no design directory";
        return false;
    }
    if (!UseDesignDirectory(designDirectory, exchangeDirectory_)) {
        error = "the design directory " + designDirectory.str() + " does not exist";
        return false;
    }
    return true;
}

Outcome Simulator::Serve() {
    std::string error;
    for (;;) {
        if (!TakeOutgoingCommands(error)) return {kExitError, error};
        while (currentStep_ < steps_.size()) {
            ScenarioStep& step = steps_[currentStep_];
            const StepProgress progress = Advance(step, error);
            if (progress == StepProgress::Waiting) break;
            if (progress == StepProgress::Failed) return {kExitError, DescribeStep(step) + ": " + error};
            if (progress == StepProgress::Leave) return {kExitDone, "the scenario ended the link"};
            ++currentStep_;
            stepStarted_ = false;
        }
        if (linkEndedByLayout_) {
            if (currentStep_ < steps_.size()) {
                return {kExitLinkEndedEarly,
                        "the layout side ended the link before " + DescribeStep(steps_[currentStep_])};
            }
            return {kExitDone, "the layout side ended the link"};
        }
        if (TimedOut()) {
            const std::string where = currentStep_ < steps_.size() ? "at " + DescribeStep(steps_[currentStep_])
                                                                   : "waiting for the link to end";
            return {kExitTimeout, "time-out after " + std::to_string(options_.timeoutSeconds) + " s " + where};
        }
        ::Sleep(kPollMilliseconds);
    }
}

bool Simulator::TakeOutgoingCommands(std::string& error) {
    if (!FileExists(outgoingPath_)) return true;
    TakenFile taken = TakeFile(outgoingPath_);
    if (taken.result == FileAttempt::Busy) return true;  // still being written: next poll
    if (taken.result == FileAttempt::Failed) {
        error = taken.error;
        return false;
    }
    for (std::string& command : SplitLines(taken.content)) {
        transcript_.Record("received", command);
        if (command == kTerminateCommand) linkEndedByLayout_ = true;
        received_.push_back(std::move(command));
    }
    return true;
}

Simulator::StepProgress Simulator::Advance(ScenarioStep& step, std::string& error) {
    if (!stepStarted_) {
        stepStarted_ = true;
        transcript_.Record("step", step.source);
        if (step.kind == StepKind::Sleep) sleepUntil_ = Now() + step.milliseconds;
    }
    switch (step.kind) {
        case StepKind::WaitFor:
            while (matchCursor_ < received_.size()) {
                if (received_[matchCursor_++].find(step.text) != std::string::npos) return StepProgress::Done;
            }
            return StepProgress::Waiting;
        case StepKind::Send:
            return WriteIncoming(step.text, true, error);
        case StepKind::Append:
            return WriteIncoming(step.text, false, error);
        case StepKind::WaitTaken:
            return FileExists(incomingPath_) ? StepProgress::Waiting : StepProgress::Done;
        case StepKind::Sleep:
            return Now() >= sleepUntil_ ? StepProgress::Done : StepProgress::Waiting;
        case StepKind::Terminate: {
            const StepProgress progress = WriteIncoming(kTerminateMessage, true, error);
            return progress == StepProgress::Done ? StepProgress::Leave : progress;
        }
        case StepKind::Exit:
            return StepProgress::Leave;
    }
    return StepProgress::Failed;
}

// Waiting for the layout side to take the previous file keeps two messages
// from being read as one file, which is what a scenario usually means.
Simulator::StepProgress Simulator::WriteIncoming(const std::string& message, bool waitUntilTaken,
                                               std::string& error) {
    if (waitUntilTaken && FileExists(incomingPath_)) return StepProgress::Waiting;
    switch (AppendLine(incomingPath_, message, error)) {
        case FileAttempt::Busy: return StepProgress::Waiting;
        case FileAttempt::Failed: return StepProgress::Failed;
        case FileAttempt::Done: break;
    }
    transcript_.Record("sent", message);
    return StepProgress::Done;
}

bool Simulator::TimedOut() const { return deadline_ != 0 && Now() >= deadline_; }

Outcome Simulator::Leave(Outcome outcome) {
    if (RemoveLockEntry(processId_, exchangeDirectory_)) {
        transcript_.Record("unregistered", std::to_string(processId_));
    } else {
        transcript_.Record("note", "the lock entry could not be removed");
        if (outcome.exitCode == kExitDone) outcome = {kExitError, "the lock entry could not be removed"};
    }
    return outcome;
}

}  // namespace vantik::simulator
