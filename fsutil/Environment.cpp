#include "fsutil/Environment.h"

#include <windows.h>

#include <vector>

namespace vantik {

std::optional<std::string> ReadEnvironmentVariable(const char* name) {
    std::vector<char> buffer(256);
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length = ::GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length);  // the size needed, terminator included
    }
}

}  // namespace vantik
