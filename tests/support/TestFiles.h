#pragma once
// Small file and environment helpers that many tests share.

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

// Every byte of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Writes the bytes as they are (binary), replacing the file.
void WriteFileText(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

// A build-host path ("/work/x") as this Wine process opens it ("Z:\work\x").
std::string WinePathOfHostPath(const std::string& hostPath);

}  // namespace vantik::test
