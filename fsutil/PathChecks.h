#pragma once
// Questions put to the file system about one path, and the small separator
// operations on plain zero-terminated buffers that the path types rest on.
//
// Every check answers false when the system call fails, for a null or empty
// path too; none of them throws or shows anything.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantik {

// Requirements for CheckPath, combined by bitwise or. CheckPath tests them in
// this order and stops at the first one that does not hold.
enum CheckPathFlags : unsigned int {
    MustExist = 0x01,
    MustBeAbsent = 0x02,
    MustBeDirectory = 0x04,
    MustNotBeDirectory = 0x08,  // a missing path passes
    MustBeReadable = 0x10,
    MustBeReadWrite = 0x20,
    MustBeExecutable = 0x40,
};

bool PathExists(const char* path);          // _access mode 0
bool IsDirectoryPath(const char* path);     // GetFileAttributesA, directory attribute
bool IsReadablePath(const char* path);      // _access mode 4
bool IsReadWritablePath(const char* path);  // _access mode 6
// The path exists and the text from its last dot on (anywhere in the path) is
// exactly ".bat", ".com" or ".exe"; the comparison is case-sensitive.
bool IsExecutablePath(const char* path);
// True when every requirement in flags holds; with no flags, true.
bool CheckPath(const char* path, unsigned int flags);

// The file's size in whole 512-byte blocks, or -1 when _stat cannot examine it.
// One trailing backslash is ignored, so a directory given as "dir\" is examined.
// The path is copied to a buffer sized by its text: there is no length limit of
// our own, and a path beyond what the system accepts simply answers -1.
long long SizeInBlocks(const char* path);
// _stat succeeds and reports size 0 (same trailing-backslash and length rules).
bool IsEmptyFile(const char* path);

inline bool PathExists(const std::string& path) { return PathExists(path.c_str()); }
inline bool IsDirectoryPath(const std::string& path) { return IsDirectoryPath(path.c_str()); }
inline bool IsReadablePath(const std::string& path) { return IsReadablePath(path.c_str()); }
inline bool IsReadWritablePath(const std::string& path) { return IsReadWritablePath(path.c_str()); }
inline bool IsExecutablePath(const std::string& path) { return IsExecutablePath(path.c_str()); }
inline bool CheckPath(const std::string& path, unsigned int flags) { return CheckPath(path.c_str(), flags); }
inline long long SizeInBlocks(const std::string& path) { return SizeInBlocks(path.c_str()); }
inline bool IsEmptyFile(const std::string& path) { return IsEmptyFile(path.c_str()); }

// The last character of a text in the runtime's multibyte code page: a
// two-byte character as first byte * 256 + second byte, a one-byte character
// sign-extended (bytes from 0x80 up are negative). Null or empty gives 0.
// A lead byte cut off by the terminator counts as a one-byte character.
std::int16_t LastCharacter(const char* text);

// The separator byte as LastCharacter would report it when it is the last character.
inline std::int16_t SeparatorValue(char separator) {
    return static_cast<std::int16_t>(static_cast<signed char>(separator));
}

// Appends separator unless LastCharacter already equals it (an empty text gets
// it). The caller must provide room for one more byte.
void AppendSeparator(char* buffer, char separator);
// The same, for a buffer of capacity bytes: false, and the buffer untouched,
// when the separator and terminator would not fit.
bool AppendSeparator(char* buffer, std::size_t capacity, char separator);
// Cuts the last byte when LastCharacter equals separator.
void StripSeparator(char* buffer, char separator);

}  // namespace vantik
