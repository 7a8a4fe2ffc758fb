#include "tests/support/ChildProcess.h"

#include <io.h>

#include "fsutil/UniqueHandle.h"
#include "tests/support/TestFiles.h"

#include <vector>

namespace vantik::test {

std::string TestChildPath() { return WinePathOfHostPath(VANTIK_TESTCHILD_HOST_PATH); }

namespace {

// A file that a child process inherits as its standard input; none for "".
HANDLE OpenInheritableInput(const std::string& path) {
    if (path.empty()) return nullptr;
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, &inheritable, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// False when the program could not be started; the thread handle is not kept.
bool StartProcess(const std::string& commandLine, HANDLE& process, DWORD& id,
                  const std::string& standardInputPath = "") {
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    const UniqueHandle input(OpenInheritableInput(standardInputPath));
    if (!standardInputPath.empty()) {
        if (!input) return false;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input.Get();
        startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    }
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, static_cast<bool>(input), 0, nullptr, nullptr,
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

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments,
                           const std::string& standardInputPath) {
    if (!StartProcess("\"" + program + "\" " + arguments, process_, id_, standardInputPath)) process_ = nullptr;
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

DWORD ChildProcess::WaitForExitCode(DWORD milliseconds) const {
    WaitForExit(milliseconds);
    return ExitCode();
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
