#pragma once
#include <windows.h>

namespace vantik {

// The module whose string table and type library the add-in uses: the DLL when
// loaded as one, else the program it is linked into.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

}  // namespace vantik
