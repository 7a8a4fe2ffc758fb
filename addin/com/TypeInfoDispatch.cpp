#include "addin/com/TypeInfoDispatch.h"

#include <windows.h>

#include <string>

namespace vantik {
namespace {
HMODULE typeInfoModule = nullptr;

ComPtr<ITypeLib> LoadEmbeddedLibrary(HMODULE module) {
    ComPtr<ITypeLib> library;
    if (!module) return library;
    wchar_t path[MAX_PATH] = {};
    if (::GetModuleFileNameW(module, path, MAX_PATH) == 0) return library;
    ::LoadTypeLibEx(path, REGKIND_NONE, library.Put());
    return library;
}
}  // namespace

HMODULE TypeInfoModule() { return typeInfoModule; }
void SetTypeInfoModule(HMODULE module) { typeInfoModule = module; }

ComPtr<ITypeInfo> LoadTypeInfo(const TypeLibraryId& id, REFGUID interfaceId, HMODULE fallbackModule) {
    ComPtr<ITypeLib> library;
    if (FAILED(::LoadRegTypeLib(*id.library, id.major, id.minor, LOCALE_NEUTRAL, library.Put()))) {
        library = LoadEmbeddedLibrary(fallbackModule);
    }
    ComPtr<ITypeInfo> info;
    if (library) library->GetTypeInfoOfGuid(interfaceId, info.Put());
    return info;
}

}  // namespace vantik
