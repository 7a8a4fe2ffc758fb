#include "fsutil/MultiByteScan.h"

#include <mbstring.h>

namespace vantik {

namespace {
const unsigned char* AsBytes(const char* text) {
    return reinterpret_cast<const unsigned char*>(text);
}
}  // namespace

const char* FindFirstBackslash(const char* text) {
    if (text == nullptr) return nullptr;
    return reinterpret_cast<const char*>(_mbschr(AsBytes(text), '\\'));
}

const char* FindLastBackslash(const char* text) {
    if (text == nullptr) return nullptr;
    return reinterpret_cast<const char*>(_mbsrchr(AsBytes(text), '\\'));
}

}  // namespace vantik
