#pragma once
// Advise and unadvise a sink on an event source's connection point.
#include <windows.h>
#include <ocidl.h>

namespace vantik {

HRESULT AdviseSink(IUnknown* source, REFIID eventInterface, IUnknown* sink, DWORD* cookie);
HRESULT UnadviseSink(IUnknown* source, REFIID eventInterface, DWORD cookie);

}  // namespace vantik
