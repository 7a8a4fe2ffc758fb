#pragma once
#include <optional>
#include <string>

namespace vantik {

// A variable of the process environment itself rather than one runtime
// library's copy of it: the host and every runtime in its process share it, and
// a variable set to an empty value stays distinguishable from one not set.
std::optional<std::string> ReadEnvironmentVariable(const char* name);

}  // namespace vantik
