#include "coordination/ExchangeDirectory.h"

#include "fsutil/DirectoryOperation.h"
#include "fsutil/Environment.h"
#include "fsutil/MultiByteScan.h"
#include "fsutil/PathChecks.h"
#include "fsutil/PathString.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace vantik {
namespace {

constexpr const char* kLocalRule = "-local";
constexpr const char* kDesignRule = "-design";
constexpr const char* kFallbackTemporaryDirectory = "C:\\";

bool IsUsableTemporaryDirectory(const std::string& path) {
    return IsReadWritablePath(path) && IsDirectoryPath(path);
}

// MakePath answers 0 when it made the missing levels and 8 when there were none.
bool DirectoryExistsOrMade(const std::string& directory) {
    DirectoryOperation operation(directory.c_str());
    const int result = operation.MakePath();
    return result == DirectoryResult::Success || result == DirectoryResult::AlreadyDirectory;
}

bool UseExplicitDirectory(const std::string& value, std::string& exchangeDirectory) {
    PathString directory(value);
    directory.ToBackslashes();
    directory.AddTrailingBackslash();
    if (!DirectoryExistsOrMade(directory)) return false;
    exchangeDirectory = directory;
    return true;
}

void SetExchangeFiles(ExchangeLocation& location) {
    location.inFilePath = location.exchangeDirectory + kIncomingExchangeFileName;
    location.outFilePath = location.exchangeDirectory + kOutgoingExchangeFileName;
}

void ClearLocation(ExchangeLocation& location) {
    location.exchangeDirectory.clear();
    location.inFilePath.clear();
    location.outFilePath.clear();
    location.exchangeIsLocal = false;
}

bool ApplyRule(bool local, const std::string& designDirectory, ExchangeLocation& location) {
    if (!local) return UseDesignDirectory(designDirectory, location.exchangeDirectory);
    if (!UseLocalDirectory(designDirectory, location.exchangeDirectory)) return false;
    location.exchangeIsLocal = true;
    return true;
}

bool ChooseExchangeDirectory(const std::string& designDirectory, bool preferLocalExchange,
                             ExchangeLocation& location) {
    const std::optional<std::string> value = ReadEnvironmentVariable(kExchangeDirectoryVariable);
    if (!value) return ApplyRule(preferLocalExchange, designDirectory, location);
    if (*value == kLocalRule) return ApplyRule(true, designDirectory, location);
    if (*value == kDesignRule) return ApplyRule(false, designDirectory, location);
    return UseExplicitDirectory(*value, location.exchangeDirectory);
}

}  // namespace

bool ResolveExchangeDirectory(const std::string& designDirectory, bool preferLocalExchange,
                              ExchangeLocation& location) {
    location.exchangeIsLocal = false;
    if (!ChooseExchangeDirectory(designDirectory, preferLocalExchange, location)) {
        ClearLocation(location);
        return false;
    }
    SetExchangeFiles(location);
    return true;
}

bool UseDesignDirectory(const std::string& designDirectory, std::string& exchangeDirectory) {
    PathString directory(designDirectory);
    directory.AddTrailingBackslash();
    if (!IsDirectoryPath(directory)) return false;
    exchangeDirectory = directory;
    return true;
}

std::string LastDesignComponent(const std::string& designDirectory) {
    PathString directory(designDirectory);
    directory.RemoveTrailingBackslash();
    std::size_t start = 0;
    const std::size_t slashOrColon = directory.find_last_of("/:");
    if (slashOrColon != std::string::npos) start = slashOrColon + 1;
    if (const char* backslash = FindLastBackslash(directory.c_str())) {
        const std::size_t afterBackslash = static_cast<std::size_t>(backslash - directory.c_str()) + 1;
        if (afterBackslash > start) start = afterBackslash;
    }
    return directory.substr(start);
}

bool UseLocalDirectory(const std::string& designDirectory, std::string& exchangeDirectory) {
    std::string temporaryDirectory;
    if (!FindTemporaryDirectory(temporaryDirectory)) return false;
    PathString directory(temporaryDirectory);
    directory.ToBackslashes();
    directory.AddTrailingBackslash();
    directory += kLocalExchangeFolderName;
    directory.AddTrailingBackslash();
    directory += LastDesignComponent(designDirectory);
    directory.AddTrailingBackslash();
    if (!DirectoryExistsOrMade(directory)) return false;
    exchangeDirectory = directory;
    return true;
}

bool FindTemporaryDirectory(std::string& directory) {
    directory.clear();
    for (const char* name : {"TMPDIR", "TEMP", "TMP"}) {
        const std::optional<std::string> value = ReadEnvironmentVariable(name);
        if (value && IsUsableTemporaryDirectory(*value)) {
            directory = *value;
            return true;
        }
    }
    if (!IsUsableTemporaryDirectory(kFallbackTemporaryDirectory)) return false;
    directory = kFallbackTemporaryDirectory;
    return true;
}

}  // namespace vantik
