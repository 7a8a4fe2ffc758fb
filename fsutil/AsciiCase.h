#pragma once
// Case-blind comparison of the exchange's tokens: keywords and tool names are
// plain ASCII, and the comparison must not depend on the process's locale.
#include <cstddef>
#include <string_view>

namespace vantik {

inline char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool EqualsIgnoringAsciiCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size()) return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (ToLowerAscii(left[i]) != ToLowerAscii(right[i])) return false;
    }
    return true;
}

}  // namespace vantik
