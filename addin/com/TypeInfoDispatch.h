#pragma once
// IDispatch for a dual interface, answered from that interface's description in a
// registered type library (loaded on first use and kept).
#include <windows.h>
#include <oaidl.h>

#include "addin/com/ComPtr.h"

namespace vantik {

struct TypeLibraryId {
    const GUID* library;
    WORD major;
    WORD minor;
};

// The description of one interface in a registered type library, or none.
// A library that is not registered falls back to the one embedded in `module`.
ComPtr<ITypeInfo> LoadTypeInfo(const TypeLibraryId& library, REFGUID interfaceId, HMODULE fallbackModule = nullptr);

// The module whose embedded type library backs a dispatch facet when the library
// is not registered; set by the module entry.
HMODULE TypeInfoModule();
void SetTypeInfoModule(HMODULE module);

// The answers of IDispatch's type-information slots from a loaded description
// (none: the library could not be loaded).
inline HRESULT AnswerTypeInfo(ITypeInfo* loaded, UINT index, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!loaded) return TYPE_E_CANTLOADLIBRARY;
    loaded->AddRef();
    *info = loaded;
    return S_OK;
}

inline HRESULT AnswerIDsOfNames(ITypeInfo* loaded, LPOLESTR* names, UINT count, DISPID* ids) {
    return loaded ? loaded->GetIDsOfNames(names, count, ids) : TYPE_E_CANTLOADLIBRARY;
}

template <class I, const TypeLibraryId& Library>
class DispatchFacet : public I {
public:
    using Interface = I;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return AnswerTypeInfo(index == 0 ? Info() : nullptr, index, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return AnswerIDsOfNames(Info(), names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override {
        ITypeInfo* loaded = Info();
        if (!loaded) return TYPE_E_CANTLOADLIBRARY;
        return loaded->Invoke(static_cast<I*>(this), id, flags, parameters, result, exception, argumentError);
    }

private:
    ITypeInfo* Info() {
        if (!info_) info_ = LoadTypeInfo(Library, __uuidof(I), TypeInfoModule());
        return info_.Get();
    }
    ComPtr<ITypeInfo> info_;
};

}  // namespace vantik
