#pragma once
// The rest of an open C stream as one text, in whatever mode it was opened.
#include <cstdio>
#include <string>

namespace vantik {

// Appends everything from the stream's position to its end; false when a read
// failed, with what came before the failure appended all the same.
bool ReadToEnd(std::FILE* stream, std::string& text);

}  // namespace vantik
