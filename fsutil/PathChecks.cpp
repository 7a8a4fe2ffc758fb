#include "fsutil/PathChecks.h"

#include <windows.h>
#include <io.h>
#include <mbstring.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstring>

namespace vantik {

namespace {

constexpr int kAccessExists = 0;
constexpr int kAccessRead = 4;
constexpr int kAccessReadWrite = 6;

bool HasAccess(const char* path, int mode) {
    return path != nullptr && _access(path, mode) == 0;
}

// _stat refuses "dir\", so one trailing backslash goes from a private copy.
bool StatWithoutTrailingBackslash(const char* path, struct _stat& info) {
    if (path == nullptr) return false;
    std::string copy(path);
    if (!copy.empty() && copy.back() == '\\') copy.pop_back();
    return _stat(copy.c_str(), &info) == 0;
}

}  // namespace

bool PathExists(const char* path) { return HasAccess(path, kAccessExists); }

bool IsDirectoryPath(const char* path) {
    if (path == nullptr) return false;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsReadablePath(const char* path) { return HasAccess(path, kAccessRead); }

bool IsReadWritablePath(const char* path) { return HasAccess(path, kAccessReadWrite); }

bool IsExecutablePath(const char* path) {
    if (!PathExists(path)) return false;
    const char* lastDot = std::strrchr(path, '.');
    if (lastDot == nullptr) return false;
    return std::strcmp(lastDot, ".bat") == 0 || std::strcmp(lastDot, ".com") == 0 ||
           std::strcmp(lastDot, ".exe") == 0;
}

bool CheckPath(const char* path, unsigned int flags) {
    if ((flags & MustExist) && !PathExists(path)) return false;
    if ((flags & MustBeAbsent) && PathExists(path)) return false;
    if ((flags & MustBeDirectory) && !IsDirectoryPath(path)) return false;
    if ((flags & MustNotBeDirectory) && IsDirectoryPath(path)) return false;
    if ((flags & MustBeReadable) && !IsReadablePath(path)) return false;
    if ((flags & MustBeReadWrite) && !IsReadWritablePath(path)) return false;
    if ((flags & MustBeExecutable) && !IsExecutablePath(path)) return false;
    return true;
}

long long SizeInBlocks(const char* path) {
    struct _stat info {};
    if (!StatWithoutTrailingBackslash(path, info)) return -1;
    return static_cast<long long>(info.st_size) / 512;
}

bool IsEmptyFile(const char* path) {
    struct _stat info {};
    return StatWithoutTrailingBackslash(path, info) && info.st_size == 0;
}

std::int16_t LastCharacter(const char* text) {
    if (text == nullptr || text[0] == '\0') return 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    std::int16_t last = 0;
    while (*bytes != '\0') {
        const bool twoBytes = _mbclen(bytes) == 2 && bytes[1] != '\0';
        if (twoBytes) {
            last = static_cast<std::int16_t>((bytes[0] << 8) | bytes[1]);
            bytes += 2;
        } else {
            last = static_cast<std::int16_t>(static_cast<signed char>(bytes[0]));
            bytes += 1;
        }
    }
    return last;
}

void AppendSeparator(char* buffer, char separator) {
    if (buffer == nullptr || LastCharacter(buffer) == SeparatorValue(separator)) return;
    const std::size_t length = std::strlen(buffer);
    buffer[length] = separator;
    buffer[length + 1] = '\0';
}

bool AppendSeparator(char* buffer, std::size_t capacity, char separator) {
    if (buffer == nullptr) return false;
    const std::size_t length = strnlen(buffer, capacity);
    if (length == capacity) return false;  // not even terminated within the buffer
    if (LastCharacter(buffer) == SeparatorValue(separator)) return true;
    if (length + 2 > capacity) return false;
    buffer[length] = separator;
    buffer[length + 1] = '\0';
    return true;
}

void StripSeparator(char* buffer, char separator) {
    if (buffer == nullptr || buffer[0] == '\0') return;
    if (LastCharacter(buffer) == SeparatorValue(separator)) buffer[std::strlen(buffer) - 1] = '\0';
}

}  // namespace vantik
