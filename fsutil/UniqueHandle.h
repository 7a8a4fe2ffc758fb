#pragma once
// Owns one kernel handle. The system's calls answer failure with either null
// (OpenProcess) or INVALID_HANDLE_VALUE (CreateFileA); neither is closed.
#include <windows.h>

namespace vantik {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() {
        if (*this) ::CloseHandle(handle_);
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace vantik
