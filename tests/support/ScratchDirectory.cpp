#include "tests/support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <direct.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace vantik::test {

namespace {

struct FindCloser {
    void operator()(HANDLE handle) const { FindClose(handle); }
};
using FindHandle = std::unique_ptr<void, FindCloser>;

bool IsDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

void RemoveTree(const std::string& directory) {
    WIN32_FIND_DATAA entry;
    HANDLE raw = FindFirstFileA((directory + "*").c_str(), &entry);
    if (raw != INVALID_HANDLE_VALUE) {
        FindHandle find(raw);
        do {
            if (IsDotEntry(entry.cFileName)) continue;
            const std::string full = directory + entry.cFileName;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + "\\");
            } else {
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find.get(), &entry));
    }
    RemoveDirectoryA(directory.c_str());
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH * 2];
    return _getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

// The Unix name of a Windows path, when running under Wine.
std::string UnixFileName(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return "";
    std::wstring wide(windowsPath.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(),
                                           static_cast<int>(wide.size()));
    if (length == 0) return "";
    char* unixName = toUnix(wide.c_str());
    if (unixName == nullptr) return "";
    std::string result(unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

// Wine starts a native program without waiting for it to finish, so the
// caller waits for the effect instead.
bool RunNative(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool WaitUntilWritable(const std::string& path, bool writable) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if ((_access(path.c_str(), 2) == 0) == writable) return true;
        Sleep(50);
    }
    return false;
}

bool ChangeWritePermission(const std::string& path, bool writable) {
    const std::string unixName = UnixFileName(path);
    if (unixName.empty()) return false;
    if (!RunNative(std::string("chmod ") + (writable ? "u+w" : "a-w") + " \"" + unixName + "\""))
        return false;
    return WaitUntilWritable(path, writable);
}

}  // namespace

ScratchDirectory::ScratchDirectory() {
    const std::string base = CurrentDirectory() + "\\fsutil_scratch\\";
    CreateDirectoryA(base.c_str(), nullptr);
    root_ = base + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    RemoveTree(root_);
    if (!CreateDirectoryA(root_.c_str(), nullptr))
        ADD_FAILURE() << "cannot create scratch directory " << root_;
}

ScratchDirectory::~ScratchDirectory() {
    for (const std::string& directory : readOnlyDirectories_) ChangeWritePermission(directory, true);
    RemoveTree(root_);
}

std::string ScratchDirectory::MakeFile(const std::string& relative, std::size_t size) const {
    const std::string full = Path(relative);
    FILE* file = std::fopen(full.c_str(), "wb");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot create " << full;
        return full;
    }
    const std::string content(size, 'x');
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
    return full;
}

std::string ScratchDirectory::MakeDirectory(const std::string& relative) const {
    const std::string full = Path(relative);
    if (!CreateDirectoryA(full.c_str(), nullptr)) ADD_FAILURE() << "cannot create " << full;
    return full;
}

std::string ScratchDirectory::MakeReadOnlyFile(const std::string& relative) const {
    const std::string full = MakeFile(relative);
    if (!SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_READONLY)) ADD_FAILURE() << "cannot protect " << full;
    return full;
}

bool ScratchDirectory::MakeReadOnlyDirectory(const std::string& relative) {
    const std::string full = MakeDirectory(relative);
    readOnlyDirectories_.push_back(full);
    return ChangeWritePermission(full, false);
}

std::vector<std::string> ScratchDirectory::Names(const std::string& relative) const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    std::string directory = Path(relative);
    if (directory.back() != '\\') directory.push_back('\\');
    HANDLE raw = FindFirstFileA((directory + "*").c_str(), &entry);
    if (raw == INVALID_HANDLE_VALUE) return names;
    FindHandle find(raw);
    do {
        if (!IsDotEntry(entry.cFileName)) names.push_back(entry.cFileName);
    } while (FindNextFileA(find.get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vantik::test
