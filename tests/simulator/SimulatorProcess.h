#pragma once
// The schematic tool simulator as a child process of a test, and what a test
// reads of it: the command file it is given and the transcript it writes.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"

namespace vantik::test {

constexpr DWORD kSimulatorPatienceMilliseconds = 30000;  // only a bound for waiting, never a measurement

std::string SimulatorPath();

class SimulatorProcess : public ChildProcess {
public:
    // Standard input from the file, "" for none; the transcript is not echoed.
    SimulatorProcess(const std::string& arguments, const std::string& standardInputPath);
    std::int32_t Pid() const { return static_cast<std::int32_t>(Id()); }
    // The exit code; STILL_ACTIVE when it does not end within the patience bound.
    DWORD Finish() const { return WaitForExitCode(kSimulatorPatienceMilliseconds); }
};

// The command file as the launcher writes it for a design directory (given
// with backslashes, without a trailing one) and a viewpoint name.
std::string CommandFileText(const std::string& designDirectory, const std::string& viewpoint);

// Splits at line feeds and drops a carriage return before each.
std::vector<std::string> SplitAtLineFeeds(const std::string& text);

class TranscriptFile {
public:
    explicit TranscriptFile(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }
    std::vector<std::string> Lines() const;
    bool Has(const std::string& line) const;
    // Waits until the line is in the transcript; false after the patience bound.
    bool WaitFor(const std::string& line) const;
    // Each expected line appears, in this order, among the transcript's lines.
    void ExpectInOrder(const std::vector<std::string>& expected) const;

private:
    std::string path_;
};

// Polls the condition every 20 ms; false when it did not hold within the patience bound.
template <typename Condition>
bool WaitUntil(Condition condition) {
    const ULONGLONG giveUp = ::GetTickCount64() + kSimulatorPatienceMilliseconds;
    while (!condition()) {
        if (::GetTickCount64() >= giveUp) return false;
        ::Sleep(20);
    }
    return true;
}

}  // namespace vantik::test
