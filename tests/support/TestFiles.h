#pragma once
// Small file and environment helpers that many tests share.

#include <optional>
#include <string>

namespace vantik::test {

// Sets or unsets a variable in the process environment (which the add-in and
// child processes read) and in the runtime's copy, and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const char* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    bool hadValue_ = false;
    std::string oldValue_;
};

// Every byte of a file as it is on disk; nothing when it cannot be opened.
std::optional<std::string> ReadFileIfPresent(const std::string& path);
// The same, empty when the file cannot be read.
std::string ReadFileBytes(const std::string& path);
// The same, "<missing>" when the file cannot be read, so that a comparison
// tells a missing file from an empty one.
std::string ReadBytes(const std::string& path);

// Writes the bytes as they are (binary), replacing the file; false on failure.
bool WriteBytes(const std::string& path, const std::string& bytes);
void WriteFileText(const std::string& path, const std::string& text);

bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);

std::string WithSlashes(std::string path);
// Replaces every occurrence of key by value.
std::string Expand(std::string text, const std::string& key, const std::string& value);

// A build-host path ("/work/x") as this Wine process opens it ("Z:\work\x").
std::string WinePathOfHostPath(const std::string& hostPath);

}  // namespace vantik::test
