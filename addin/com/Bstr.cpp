#include "addin/com/Bstr.h"

#include <windows.h>

namespace vantik {

std::wstring AnsiToWide(std::string_view text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string BstrToAnsi(BSTR text) {
    const int wideLength = static_cast<int>(::SysStringLen(text));
    if (wideLength == 0) return {};
    const int length = ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, text, wideLength, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

Bstr Bstr::FromAnsi(std::string_view text) {
    const std::wstring wide = AnsiToWide(text);
    return Attach(::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size())));
}

std::string Bstr::ToAnsi() const { return BstrToAnsi(text_); }

}  // namespace vantik
