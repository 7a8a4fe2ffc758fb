#include "tests/support/TestFiles.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "fsutil/Environment.h"
#include "fsutil/FileText.h"

namespace vantik::test {
namespace {

void SetVariable(const std::string& name, const char* value) {
    ::SetEnvironmentVariableA(name.c_str(), value);
    if (value && *value) {
        _putenv_s(name.c_str(), value);
    } else if (!value) {
        _putenv((name + "=").c_str());
    }
}

}  // namespace

ScopedEnvironment::ScopedEnvironment(std::string name, const char* value) : name_(std::move(name)) {
    if (std::optional<std::string> old = ReadEnvironmentVariable(name_.c_str())) {
        hadValue_ = true;
        oldValue_ = *old;
    }
    SetVariable(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetVariable(name_, hadValue_ ? oldValue_.c_str() : nullptr); }

std::optional<std::string> ReadFileIfPresent(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string bytes;
    ReadToEnd(file, bytes);
    std::fclose(file);
    return bytes;
}

std::string ReadFileBytes(const std::string& path) { return ReadFileIfPresent(path).value_or(""); }

std::string ReadBytes(const std::string& path) { return ReadFileIfPresent(path).value_or("<missing>"); }

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

void WriteFileText(const std::string& path, const std::string& text) { WriteBytes(path, text); }

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectory(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string WithSlashes(std::string path) {
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

std::string Expand(std::string text, const std::string& key, const std::string& value) {
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size())) {
        text.replace(at, key.size(), value);
    }
    return text;
}

std::string WinePathOfHostPath(const std::string& hostPath) {
    // The build host's root is drive Z: under Wine.
    std::string path = !hostPath.empty() && hostPath.front() == '/' ? "Z:" + hostPath : hostPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace vantik::test
