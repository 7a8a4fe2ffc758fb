#include "fsutil/DirectoryOperation.h"

#include "fsutil/MultiByteScan.h"
#include "fsutil/PathChecks.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <mbstring.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdio>
#include <cstring>

namespace vantik {

namespace {

// A directory full of leftover probe names must not keep the search going for ever.
constexpr int kMaxProbeAttempts = 100;

// Owns a buffer that FormatMessageA allocated.
class LocalBuffer {
public:
    LocalBuffer() = default;
    LocalBuffer(const LocalBuffer&) = delete;
    LocalBuffer& operator=(const LocalBuffer&) = delete;
    ~LocalBuffer() {
        if (text_ != nullptr) LocalFree(text_);
    }
    char** Receive() { return &text_; }
    const char* get() const { return text_; }

private:
    char* text_ = nullptr;
};

// Owns a runtime file descriptor.
class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }
    bool IsOpen() const { return descriptor_ >= 0; }
    void Close() {
        if (descriptor_ >= 0) _close(descriptor_);
        descriptor_ = -1;
    }

private:
    int descriptor_;
};

std::string SystemMessage(DWORD code) {
    LocalBuffer buffer;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD length = FormatMessageA(flags, nullptr, code, LANG_USER_DEFAULT,
                                        reinterpret_cast<char*>(buffer.Receive()), 0, nullptr);
    if (length == 0 || buffer.get() == nullptr) return "System error " + std::to_string(code);
    return std::string(buffer.get(), length);
}

std::string ProbeName(const std::string& directory, int number) {
    return directory + "jdfhas" + std::to_string(number) + ".efs";
}

bool EndsInBackslashByte(const std::string& text) { return !text.empty() && text.back() == '\\'; }

struct RootAndRest {
    bool absolute = false;
    std::string root;
    std::string rest;
};

// Only a path whose root is known can be made level by level; C:dir and
// relative paths are refused.
RootAndRest SplitRoot(const std::string& path) {
    RootAndRest split;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        const char* serverEnd = FindFirstBackslash(path.c_str() + 2);
        const std::size_t rootLength =
            serverEnd != nullptr ? static_cast<std::size_t>(serverEnd - path.c_str()) + 1 : path.size();
        split.root = path.substr(0, rootLength);
        split.rest = path.substr(rootLength);
    } else if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
        split.root = path.substr(0, 3);
        split.rest = path.substr(3);
    } else if (!path.empty() && path[0] == '\\') {
        split.root = "\\";
        split.rest = path.substr(1);
    } else {
        return split;
    }
    split.absolute = true;
    return split;
}

// Cuts the first component and its backslash from rest. The search steps over
// double-byte characters, so a name ending in one whose second byte is 0x5C is
// kept whole.
std::string TakeComponent(std::string& rest) {
    const char* separator = FindFirstBackslash(rest.c_str());
    if (separator == nullptr) {
        std::string component = std::move(rest);
        rest.clear();
        return component;
    }
    const std::size_t length = static_cast<std::size_t>(separator - rest.c_str());
    std::string component = rest.substr(0, length);
    rest.erase(0, length + 1);
    return component;
}

}  // namespace

DirectoryOperation::DirectoryOperation(const char* text) : path(text != nullptr ? text : "") {
    AddBackslash();
}

DirectoryOperation& DirectoryOperation::operator=(const std::string& text) {
    if (&text != &path) {
        path = text;
        ClearError();
    }
    return *this;
}

bool DirectoryOperation::EqualsNoCase(const char* text) const {
    if (text == nullptr) return false;
    return _mbsicmp(reinterpret_cast<const unsigned char*>(path.c_str()),
                    reinterpret_cast<const unsigned char*>(text)) == 0;
}

void DirectoryOperation::AddBackslash() {
    if (!EndsInBackslashByte(path)) path.push_back('\\');
}

void DirectoryOperation::RemoveBackslash() {
    if (EndsInBackslashByte(path)) path.pop_back();
}

bool DirectoryOperation::IsDirectory() const { return IsDirectoryPath(path); }

bool DirectoryOperation::CanCreateFiles() const {
    if (_access(path.c_str(), 2) != 0) return false;
    // Without its backslash the probe would land beside the directory, not in it.
    std::string directory = path;
    if (!EndsInBackslashByte(directory)) directory.push_back('\\');
    for (int number = 0; number < kMaxProbeAttempts; ++number) {
        const std::string probe = ProbeName(directory, number);
        if (PathExists(probe)) continue;
        // Exclusive creation: a file someone made since the check is not ours to delete.
        FileDescriptor file(_open(probe.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                                  _S_IREAD | _S_IWRITE));
        if (!file.IsOpen()) return false;
        file.Close();
        return std::remove(probe.c_str()) == 0;
    }
    return false;
}

void DirectoryOperation::ClearError() {
    failedPath.clear();
    errorText.clear();
}

void DirectoryOperation::SetError(const char* text) {
    const DWORD code = GetLastError();
    failedPath = text != nullptr ? text : "";
    errorText = SystemMessage(code);
}

bool DirectoryOperation::SameSizeAndTime(const char* first, const char* second, bool& differs) {
    differs = true;
    if (first == nullptr || second == nullptr) return false;
    struct _stat firstInfo {};
    struct _stat secondInfo {};
    if (_stat(first, &firstInfo) != 0 || _stat(second, &secondInfo) != 0) return false;
    differs = !(firstInfo.st_size == secondInfo.st_size && firstInfo.st_mtime == secondInfo.st_mtime);
    return true;
}

int DirectoryOperation::MakePath() {
    ClearError();
    if (IsDirectory()) return DirectoryResult::AlreadyDirectory;
    RootAndRest split = SplitRoot(path);
    if (!split.absolute) return DirectoryResult::NotAnAbsolutePath;
    if (!EndsInBackslashByte(split.rest)) split.rest.push_back('\\');
    std::string current = split.root;
    while (!split.rest.empty()) {
        current += TakeComponent(split.rest);
        current.push_back('\\');
        if (IsDirectoryPath(current)) continue;
        if (!CreateDirectoryA(current.c_str(), nullptr)) {
            SetError(current.c_str());
            failedPath = path;
            return DirectoryResult::CreateDirectoryFailed;
        }
    }
    return DirectoryResult::Success;
}

}  // namespace vantik
