#include "tests/support/ChildProcess.h"

#include <io.h>

#include <vector>

namespace vantik::test {

std::string TestChildPath() {
    // The build host's root is drive Z: under Wine.
    std::string path = std::string("Z:") + VANTIK_TESTCHILD_HOST_PATH;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

namespace {

// False when the program could not be started; the thread handle is not kept.
bool StartProcess(const std::string& commandLine, HANDLE& process, DWORD& id) {
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return false;
    }
    if (info.hThread != nullptr) ::CloseHandle(info.hThread);
    process = info.hProcess;
    id = info.dwProcessId;
    return true;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& arguments) {
    if (!StartProcess("\"" + TestChildPath() + "\" " + arguments, process_, id_)) process_ = nullptr;
}

ChildProcess::~ChildProcess() {
    if (process_ == nullptr) return;
    if (!WaitForExit(0)) {
        ::TerminateProcess(process_, 1);
        ::WaitForSingleObject(process_, 10000);
    }
    ::CloseHandle(process_);
}

bool ChildProcess::WaitForExit(DWORD milliseconds) const {
    return process_ != nullptr && ::WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_ != nullptr) ::GetExitCodeProcess(process_, &code);
    return code;
}

bool WaitForPath(const std::string& path, DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    while (::_access(path.c_str(), 0) != 0) {
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(20);
    }
    return true;
}

}  // namespace vantik::test
