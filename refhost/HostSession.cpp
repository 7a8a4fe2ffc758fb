#include "refhost/HostSession.h"

#include <oleauto.h>

#include "VantikToolSX.h"
#include "addin/com/Bstr.h"

namespace vantik::refhost {
namespace {
using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

#ifdef _WIN64
constexpr SYSKIND kSystemKind = SYS_WIN64;
#else
constexpr SYSKIND kSystemKind = SYS_WIN32;
#endif

template <class Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
}  // namespace

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string windows = "Z:" + path;
    for (char& c : windows) {
        if (c == '/') c = '\\';
    }
    return windows;
}

std::string DefaultAddInPath() { return WindowsPath(VANTIK_ADDIN_DLL); }
std::string DefaultHostTypeLibraryPath() { return WindowsPath(VANTIK_HOST_TLB); }

HRESULT RegisterHostTypeLibrary(const std::string& path) {
    ComPtr<ITypeLib> library;
    const std::wstring widePath = AnsiToWide(path);
    return ::LoadTypeLibEx(widePath.c_str(), REGKIND_REGISTER, library.Put());
}

HRESULT UnregisterHostTypeLibrary() { return ::UnRegisterTypeLib(LIBID_RoutanaHostLib, 1, 0, 0, kSystemKind); }

AddInModule::~AddInModule() {
    if (module_) ::FreeLibrary(module_);
}

bool AddInModule::Load(const std::string& path) {
    module_ = ::LoadLibraryA(path.c_str());
    return module_ != nullptr;
}

HRESULT AddInModule::GetClassObject(REFCLSID classId, REFIID iid, void** object) const {
    auto getClassObject = Export<GetClassObjectFunction>(module_, "DllGetClassObject");
    return getClassObject ? getClassObject(classId, iid, object) : E_UNEXPECTED;
}

HRESULT AddInModule::CanUnloadNow() const {
    auto canUnloadNow = Export<CanUnloadNowFunction>(module_, "DllCanUnloadNow");
    return canUnloadNow ? canUnloadNow() : E_UNEXPECTED;
}

ComPtr<IHostToolLink> AddInModule::CreateTool() const {
    ComPtr<IClassFactory> factory;
    ComPtr<IHostToolLink> tool;
    if (SUCCEEDED(GetClassObject(CLSID_VantikTool, IID_IClassFactory, factory.PutVoid()))) {
        factory->CreateInstance(nullptr, IID_IHostToolLink, tool.PutVoid());
    }
    return tool;
}

void PumpMessages(DWORD milliseconds) {
    PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMilliseconds;
    for (;;) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        if (condition()) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        const DWORD wait = static_cast<DWORD>(deadline - now < 20 ? deadline - now : 20);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

}  // namespace vantik::refhost
