#include "coordination/LockFile.h"

#include "coordination/LockFileText.h"
#include "fsutil/FileText.h"
#include "fsutil/PathChecks.h"
#include "fsutil/UniqueHandle.h"

#include <windows.h>

#include <ctime>
#include <optional>

namespace vantik {
namespace {

constexpr std::time_t kRetrySeconds = 10;

// Lock-file streams are always text mode, so lines end in CR LF on disk as the
// schematic tool expects, whatever the process's default file mode is.
constexpr const char* kReadText = "rt";
constexpr const char* kAppendText = "at";
constexpr const char* kWriteText = "wt";


template <typename Attempt>
bool RetryUntilDeadline(Attempt attempt) {
    const std::time_t deadline = std::time(nullptr) + kRetrySeconds;
    do {
        if (attempt()) return true;
    } while (std::time(nullptr) < deadline);
    return false;
}

std::optional<std::string> ReadAllText(UniqueFile file) {
    std::string text;
    if (!ReadToEnd(file.get(), text)) return std::nullopt;
    return text;
}

// Closes the file in every case; true only when every byte reached it.
bool WriteAllText(UniqueFile file, const std::string& text) {
    const bool written = text.empty() || std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    return std::fclose(file.release()) == 0 && written;
}

int AppendEntry(const std::string& lockPath, const LockEntry& entry, bool startNewLine) {
    UniqueFile file = OpenWithRetry(lockPath, kAppendText);
    if (!file) return kLockFileNotUpdated;
    // A last line written without its line end would otherwise run into ours
    // and turn both entries into one unreadable token.
    const std::string text = (startNewLine ? "\n" : "") + FormatLockEntry(entry);
    return WriteAllText(std::move(file), text) ? kLockRegistered : kLockFileNotUpdated;
}

// A stale backup must not stand in for a lock file that exists but could not
// be copied for a moment: entries written since would be lost.
bool BackUpLockFile(const std::string& lockPath, const std::string& backupPath) {
    const auto copy = [&] { return ::CopyFileA(lockPath.c_str(), backupPath.c_str(), FALSE) != 0; };
    if (copy()) return true;
    if (!PathExists(lockPath)) return true;  // an old backup, if any, is all there is
    return RetryUntilDeadline(copy);
}

bool StillRunning(HANDLE process) { return ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

bool ReportsStillActive(HANDLE process) {
    DWORD exitCode = 0;
    return ::GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
}

}  // namespace

std::string LockFilePath(const std::string& exchangeDirectory) {
    return exchangeDirectory + "\\" + kLockFileName;
}

std::string LockBackupPath(const std::string& exchangeDirectory) {
    return exchangeDirectory + "\\" + kLockBackupFileName;
}

UniqueFile OpenWithRetry(const std::string& path, const char* mode) {
    UniqueFile file;
    RetryUntilDeadline([&] {
        file.reset(std::fopen(path.c_str(), mode));
        return file != nullptr;
    });
    return file;
}

bool IsProcessAlive(std::int32_t processId) {
    if (processId <= 0) return false;
    const DWORD id = static_cast<DWORD>(processId);
    // Waiting on the process tells an ended process from a running one even when
    // its exit code happens to be STILL_ACTIVE; the exit code is the fallback
    // only where the right to wait is not granted.
    if (UniqueHandle process{::OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, id)}) {
        return StillRunning(process.Get());
    }
    UniqueHandle process{::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id)};
    return process && ReportsStillActive(process.Get());
}

int RegisterLockEntry(const std::string& tool, std::int32_t processId,
                      const std::string& exchangeDirectory) {
    const std::string lockPath = LockFilePath(exchangeDirectory);
    const LockEntry ownEntry{tool, processId, std::nullopt};
    if (!PathExists(lockPath)) return AppendEntry(lockPath, ownEntry, false);

    UniqueFile file = OpenWithRetry(lockPath, kReadText);
    if (!file) return kLockFileNotUpdated;
    const std::optional<std::string> text = ReadAllText(std::move(file));
    if (!text) return kLockFileNotUpdated;

    const RegistrationDecision decision =
        DecideRegistration(ParseLockEntries(*text), tool, processId, IsProcessAlive);
    if (decision != RegistrationDecision::Append) return static_cast<int>(decision);
    return AppendEntry(lockPath, ownEntry, EndsInsideToken(*text));
}

bool RemoveLockEntry(std::int32_t processId, const std::string& exchangeDirectory) {
    const std::string lockPath = LockFilePath(exchangeDirectory);
    const std::string backupPath = LockBackupPath(exchangeDirectory);
    if (!BackUpLockFile(lockPath, backupPath)) return false;

    // Everything is read before the lock file is opened for writing, so a
    // failure on the way leaves the lock file untouched.
    UniqueFile backup = OpenWithRetry(backupPath, kReadText);
    if (!backup) return false;
    const std::optional<std::string> text = ReadAllText(std::move(backup));
    if (!text) return false;
    const LockEntries kept = WithoutProcess(ParseLockEntries(*text), processId);

    UniqueFile lock = OpenWithRetry(lockPath, kWriteText);
    if (!lock) return false;
    return WriteAllText(std::move(lock), FormatLockEntries(kept));
}

}  // namespace vantik
