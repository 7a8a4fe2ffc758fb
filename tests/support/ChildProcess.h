#pragma once
// A real child process for tests, running the helper program vantik_testchild
// (see TestChild.cpp for its modes). The handle is kept until the object goes,
// so the process id cannot be handed to another process meanwhile; a child
// still running then is ended.

#include <windows.h>

#include <string>

namespace vantik::test {

// The helper program's path as this process can start it.
std::string TestChildPath();

class ChildProcess {
public:
    // Starts vantik_testchild with the given arguments; check Started().
    explicit ChildProcess(const std::string& arguments);
    // Starts any program, its standard input read from a file ("" for none)
    // and its output going where this process's goes.
    ChildProcess(const std::string& program, const std::string& arguments, const std::string& standardInputPath);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    // True when the child ended within the time.
    bool WaitForExit(DWORD milliseconds) const;
    // The exit code, STILL_ACTIVE while it runs (or when it could not be read).
    DWORD ExitCode() const;
    // Waits for the end and answers the exit code, or STILL_ACTIVE when the
    // child is still running after the time.
    DWORD WaitForExitCode(DWORD milliseconds) const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Waits until the path exists; false when it did not appear within the time.
bool WaitForPath(const std::string& path, DWORD milliseconds);

}  // namespace vantik::test
