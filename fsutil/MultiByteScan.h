#pragma once
// Backslash searches that step over double-byte characters in the runtime's
// current multibyte code page, so the second byte of such a character (which
// may be 0x5C in Shift-JIS and similar code pages) is never a separator.
// Used by the path types of this module; slashes, colons and dots are never
// trail bytes there and are searched byte by byte.

namespace vantik {

// The first / last backslash of a zero-terminated text, or nullptr (also for null text).
const char* FindFirstBackslash(const char* text);
const char* FindLastBackslash(const char* text);

}  // namespace vantik
