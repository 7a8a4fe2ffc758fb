#pragma once
// File names of the exchange's logs, in the exchange directory.
namespace vantik {
constexpr const char* kIncomingLogName = "LogSX.txt";
constexpr const char* kOutgoingLogName = "LogLY.txt";
}  // namespace vantik
