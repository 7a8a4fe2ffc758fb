#include "fsutil/PathString.h"

#include "fsutil/MultiByteScan.h"
#include "fsutil/PathChecks.h"

#include <mbstring.h>

#include <cstring>

namespace vantik {

namespace {

constexpr std::int16_t kBackslash = '\\';

struct PathParts {
    std::string drive;
    std::string directory;
    std::string baseName;
    std::string extension;
};

bool IsDotOrDotDot(const char* path) {
    return std::strcmp(path, ".") == 0 || std::strcmp(path, "..") == 0;
}

// Returns where the text after the drive begins.
const char* SplitDrive(const char* path, std::string& drive) {
    if (const char* colon = std::strchr(path, ':')) {
        drive.assign(path, colon + 1);
        return colon + 1;
    }
    if (path[0] == '\\' && path[1] == '\\') {
        const char* shareSeparator = FindFirstBackslash(path + 2);
        const char* rest = shareSeparator != nullptr ? shareSeparator : path + std::strlen(path);
        drive.assign(path, rest);
        return rest;
    }
    return path;
}

// A slash counts only when the rest holds no backslash at all.
const char* SplitDirectory(const char* rest, std::string& directory) {
    const char* separator = FindLastBackslash(rest);
    if (separator == nullptr) separator = std::strrchr(rest, '/');
    if (separator == nullptr) return rest;
    directory.assign(rest, separator + 1);
    return separator + 1;
}

void SplitFileName(const char* name, std::string& baseName, std::string& extension) {
    if (const char* dot = std::strrchr(name, '.')) {
        baseName.assign(name, dot);
        extension.assign(dot + 1);
    } else {
        baseName.assign(name);
    }
}

PathParts Split(const char* path) {
    PathParts parts;
    if (IsDotOrDotDot(path)) {
        parts.directory = std::string(path) + '\\';
        return parts;
    }
    const char* rest = SplitDrive(path, parts.drive);
    rest = SplitDirectory(rest, parts.directory);
    SplitFileName(rest, parts.baseName, parts.extension);
    return parts;
}

bool IsNonEmpty(const char* text) { return text != nullptr && text[0] != '\0'; }

void AssignIfRequested(std::string* output, std::string& value) {
    if (output != nullptr) *output = std::move(value);
}

}  // namespace

void PathString::SplitPath(std::string* drive, std::string* directory, std::string* baseName,
                           std::string* extension) const {
    PathParts parts = Split(c_str());
    AssignIfRequested(drive, parts.drive);
    AssignIfRequested(directory, parts.directory);
    AssignIfRequested(baseName, parts.baseName);
    AssignIfRequested(extension, parts.extension);
}

std::string PathString::GetDrive() const { return Split(c_str()).drive; }
std::string PathString::GetDirectory() const { return Split(c_str()).directory; }
std::string PathString::GetBaseName() const { return Split(c_str()).baseName; }
std::string PathString::GetExtension() const { return Split(c_str()).extension; }

void PathString::SetDefaultExtension(const char* extension) {
    if (!IsNonEmpty(extension) || !GetExtension().empty()) return;
    if (extension[0] != '.') push_back('.');
    append(extension);
}

void PathString::ToBackslashes() {
    for (char& byte : *this) {
        if (byte == '/') byte = '\\';
    }
}

void PathString::AddTrailingBackslash() {
    if (!empty() && LastCharacter(c_str()) != kBackslash) push_back('\\');
}

void PathString::RemoveTrailingBackslash() {
    if (!empty() && LastCharacter(c_str()) == kBackslash) pop_back();
}

bool PathString::Exists() const { return PathExists(c_str()); }
bool PathString::IsDirectory() const { return IsDirectoryPath(c_str()); }
bool PathString::IsReadWrite() const { return IsReadWritablePath(c_str()); }

bool PathString::EqualsNoCase(const char* text) const {
    if (text == nullptr) return false;
    return _mbsicmp(reinterpret_cast<const unsigned char*>(c_str()),
                    reinterpret_cast<const unsigned char*>(text)) == 0;
}

bool EqualsNoCase(const PathString& path, const char* text) { return path.EqualsNoCase(text); }

void PathString::ComposePath(const char* drive, const char* directory, const char* baseName,
                             const char* extension) {
    std::string text;
    if (IsNonEmpty(drive)) {
        text = drive;
        if (drive[0] != '\\' && LastCharacter(text.c_str()) != ':') text.push_back(':');
    }
    if (IsNonEmpty(directory)) text.append(directory);
    if (!text.empty() && LastCharacter(text.c_str()) != kBackslash) text.push_back('\\');
    if (IsNonEmpty(baseName)) text.append(baseName);
    if (IsNonEmpty(extension)) {
        if (LastCharacter(text.c_str()) != '.') text.push_back('.');
        text.append(extension[0] == '.' ? extension + 1 : extension);
    }
    assign(std::move(text));
}

PathString PathString::DirectoryPart() const {
    const PathParts parts = Split(c_str());
    PathString result(parts.drive + parts.directory);
    if (!parts.drive.empty() && parts.directory.empty()) result.push_back('\\');
    return result;
}

PathString PathString::FileNamePart() const {
    const PathParts parts = Split(c_str());
    PathString result(parts.baseName);
    if (!parts.extension.empty()) result.append("." + parts.extension);
    return result;
}

}  // namespace vantik
