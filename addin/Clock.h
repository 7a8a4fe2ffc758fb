#pragma once
// Calendar time in whole seconds, through a seam that tests can drive.
#include <cstdint>
#include <ctime>

namespace vantik {

using ClockFunction = std::int64_t (*)();

inline std::int64_t SystemClock() { return static_cast<std::int64_t>(std::time(nullptr)); }

inline ClockFunction& ClockSource() {
    static ClockFunction source = &SystemClock;
    return source;
}

inline std::int64_t CurrentTime() { return ClockSource()(); }

}  // namespace vantik
