#pragma once
// The cross-probe lock file "sx_ly.lock" in the exchange directory: which
// processes cross-probe through that directory. The file is shared with other
// layout processes and the schematic tool without any file locking; every open
// is retried for a while so that a short exclusive use elsewhere is ridden out.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace vantik {

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr) std::fclose(file);
    }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

constexpr const char* kLockFileName = "sx_ly.lock";
constexpr const char* kLockBackupFileName = "sx_ly.bck";
constexpr const char* kLayoutToolToken = "Routana";

// Results of RegisterLockEntry.
enum LockRegistrationResult : int {
    kLockRegistered = 0,
    kLockHeldBySameTool = 1,
    kLockSchematicToolTaken = 2,
    kLockFileNotUpdated = 3,
};

// The directory, a backslash (always, even after one already there) and the name.
std::string LockFilePath(const std::string& exchangeDirectory);
std::string LockBackupPath(const std::string& exchangeDirectory);

// Tries fopen until it succeeds or the whole-second clock has passed ten seconds
// from the start; at least one attempt is made, with no pause between attempts.
UniqueFile OpenWithRetry(const std::string& path, const char* mode);

// True while a process with that id runs on this machine. A process that has
// ended counts as gone whatever its exit code was.
bool IsProcessAlive(std::int32_t processId);

// Registers the caller unless a live process of the same tool token, or a live
// third tool working on the schematic tool's default viewpoint, holds the place.
// Returns a LockRegistrationResult; kLockFileNotUpdated also when an existing
// lock file cannot be read, since registering blind could let two layout
// processes drive one schematic tool.
int RegisterLockEntry(const std::string& tool, std::int32_t processId,
                      const std::string& exchangeDirectory);

// Rewrites the lock file without the entries of that process, going through the
// backup "sx_ly.bck", which is left behind. False when the backup or the lock
// file could not be used; the lock file is then left as it was.
bool RemoveLockEntry(std::int32_t processId, const std::string& exchangeDirectory);

}  // namespace vantik
