#pragma once
// The demo: a short cross-probe session between the add-in in this host and
// the schematic tool simulator, told on standard output as it happens.
#include <string>

namespace vantik::refhost {

std::string DefaultSimulatorPath();

// Returns the process exit code: 0 when every step of the session happened.
int PlayDemoSession(const std::string& designDirectory, const std::string& simulatorPath);

}  // namespace vantik::refhost
