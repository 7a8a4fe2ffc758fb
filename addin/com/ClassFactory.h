#pragma once
#include "addin/com/ComObject.h"

namespace vantik {

template <class T>
class ClassFactory final : public ComObject<ClassFactory<T>, Facet<IClassFactory>> {
public:
    // Cached by the module until it unloads; only LockServer holds the module.
    static constexpr bool kLocksModule = false;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        // The tool object is never aggregated.
        if (outer) return CLASS_E_NOAGGREGATION;
        return CreateComInstance<T>(iid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            ModuleLock::Add();
        } else {
            ModuleLock::Remove();
        }
        return S_OK;
    }
};

}  // namespace vantik
