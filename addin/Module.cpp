// The DLL's entry points: the COM runtime creates the tool object through them and
// asks whether the file may be unloaded.
#include <windows.h>

#include "addin/Module.h"
#include "addin/VantikTool.h"
#include "addin/com/ClassFactory.h"

namespace {
vantik::ComPtr<IClassFactory> cachedFactory;

HRESULT GetToolFactory(REFIID iid, void** object) {
    if (!cachedFactory) {
        auto* factory = new (std::nothrow) vantik::ClassFactory<vantik::VantikTool>();
        if (!factory) return E_OUTOFMEMORY;
        cachedFactory = vantik::ComPtr<IClassFactory>(factory);
    }
    return cachedFactory->QueryInterface(iid, object);
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        vantik::SetModuleInstance(instance);
        vantik::SetTypeInfoModule(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        cachedFactory.Detach();  // the COM runtime may already be gone; never call into it here
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!::IsEqualCLSID(classId, CLSID_VantikTool)) return CLASS_E_CLASSNOTAVAILABLE;
    return GetToolFactory(iid, object);
}

STDAPI DllCanUnloadNow() { return vantik::ModuleLock::Count() == 0 ? S_OK : S_FALSE; }
