#include "simulator/ExchangeFiles.h"

#include "coordination/LockFile.h"
#include "coordination/LockFileText.h"
#include "fsutil/FileText.h"
#include "fsutil/UniqueHandle.h"

#include <windows.h>

#include <cstdio>

namespace vantik::simulator {
namespace {

bool IsBusyError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_FILE_NOT_FOUND || error == ERROR_ACCESS_DENIED;
}

bool ReadAll(HANDLE file, std::string& content) {
    char buffer[4096];
    DWORD count = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &count, nullptr)) {
        if (count == 0) return true;
        content.append(buffer, count);
    }
    return false;
}

bool EndsInsideToken(const std::string& text) {
    if (text.empty()) return false;
    const char last = text.back();
    return !(last == ' ' || last == '\t' || last == '\n' || last == '\r' || last == '\v' || last == '\f');
}

}  // namespace

std::string SystemErrorText(unsigned long code) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : "error " + std::to_string(code);
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TakenFile TakeFile(const std::string& path) {
    TakenFile taken;
    {
        UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = ::GetLastError();
            taken.result = IsBusyError(error) ? FileAttempt::Busy : FileAttempt::Failed;
            taken.error = "cannot open " + path + ": " + SystemErrorText(error);
            return taken;
        }
        if (!ReadAll(file.Get(), taken.content)) {
            taken.error = "cannot read " + path + ": " + SystemErrorText(::GetLastError());
            return taken;
        }
    }
    // Once read, the file must go: left in place it would be taken twice.
    if (!::DeleteFileA(path.c_str())) {
        taken.error = "cannot delete " + path + ": " + SystemErrorText(::GetLastError());
        return taken;
    }
    taken.result = FileAttempt::Done;
    return taken;
}

FileAttempt AppendLine(const std::string& path, const std::string& line, std::string& error) {
    UniqueHandle file(::CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = ::GetLastError();
        error = "cannot open " + path + ": " + SystemErrorText(code);
        return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ? FileAttempt::Busy
                                                                               : FileAttempt::Failed;
    }
    const std::string text = line + "\r\n";
    DWORD written = 0;
    if (!::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
        error = "cannot write " + path + ": " + SystemErrorText(::GetLastError());
        return FileAttempt::Failed;
    }
    return FileAttempt::Done;
}

std::string RegisterSchematicEntry(const std::string& exchangeDirectory, int processId,
                                   const std::string& viewpointToken) {
    const std::string lockPath = LockFilePath(exchangeDirectory);
    std::string existing;
    if (FileExists(lockPath)) {
        UniqueFile reader = OpenWithRetry(lockPath, "rb");
        if (!reader) return "cannot read the lock file " + lockPath;
        if (!ReadToEnd(reader.get(), existing)) return "cannot read the lock file " + lockPath;
    }
    UniqueFile file = OpenWithRetry(lockPath, "at");
    if (!file) return "cannot open the lock file " + lockPath + " for appending";
    const LockEntry entry{kSchematicToolToken, processId, viewpointToken};
    const std::string text = (EndsInsideToken(existing) ? "\n" : "") + FormatLockEntry(entry);
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    if (std::fclose(file.release()) != 0 || !written) return "cannot write the lock file " + lockPath;
    return {};
}

}  // namespace vantik::simulator
