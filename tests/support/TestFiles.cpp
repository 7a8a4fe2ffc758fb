#include "tests/support/TestFiles.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

#include "fsutil/Environment.h"

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

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string WinePathOfHostPath(const std::string& hostPath) {
    // The build host's root is drive Z: under Wine.
    std::string path = !hostPath.empty() && hostPath.front() == '/' ? "Z:" + hostPath : hostPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

}  // namespace vantik::test
