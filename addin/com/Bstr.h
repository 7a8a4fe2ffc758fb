#pragma once
// Automation strings, and their conversion to and from the add-in's 8-bit texts,
// which use the calling thread's ANSI code page.
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>
#include <utility>

namespace vantik {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : text_(text ? ::SysAllocString(text) : nullptr) {}
    Bstr(const Bstr& other) : text_(other.text_ ? ::SysAllocStringLen(other.text_, other.Length()) : nullptr) {}
    Bstr(Bstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    ~Bstr() { ::SysFreeString(text_); }
    Bstr& operator=(Bstr other) noexcept {
        std::swap(text_, other.text_);
        return *this;
    }

    static Bstr FromAnsi(std::string_view text);
    static Bstr Attach(BSTR text) {
        Bstr result;
        result.text_ = text;
        return result;
    }
    BSTR Detach() { return std::exchange(text_, nullptr); }
    BSTR* Put() {
        ::SysFreeString(std::exchange(text_, nullptr));
        return &text_;
    }

    BSTR Get() const { return text_; }
    UINT Length() const { return ::SysStringLen(text_); }
    std::string ToAnsi() const;

private:
    BSTR text_ = nullptr;
};

// A null automation string is an empty text.
std::string BstrToAnsi(BSTR text);
std::wstring AnsiToWide(std::string_view text);

}  // namespace vantik
