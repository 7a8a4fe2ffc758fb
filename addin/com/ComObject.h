#pragma once
// The small object framework the add-in and the reference host build their COM
// classes on: reference counting, QueryInterface from the list of interfaces a
// class names, the module lock count, and FinalConstruct / FinalRelease hooks.
#include <windows.h>
#include <oaidl.h>
#include <new>
#include <tuple>
#include <type_traits>

namespace vantik {

// Objects alive plus server locks; a module may unload only at zero.
class ModuleLock {
public:
    static void Add() { ::InterlockedIncrement(&count_); }
    static void Remove() { ::InterlockedDecrement(&count_); }
    static LONG Count() { return count_; }

private:
    static inline LONG count_ = 0;
};

// One interface of a class, with nothing added.
template <class I>
struct Facet : I {
    using Interface = I;
};

template <class Derived, class... Facets>
class ComObject : public Facets... {
public:
    // Every object keeps the module loaded, except the cached class factory.
    static constexpr bool kLocksModule = true;

    ComObject() {
        if constexpr (Derived::kLocksModule) ModuleLock::Add();
    }
    virtual ~ComObject() {
        if constexpr (Derived::kLocksModule) ModuleLock::Remove();
    }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = FindInterface(iid);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            // Keeps a release made by FinalRelease itself from destroying twice.
            references_ = 1;
            static_cast<Derived*>(this)->FinalRelease();
            delete static_cast<Derived*>(this);
        }
        return left;
    }

    HRESULT FinalConstruct() { return S_OK; }
    void FinalRelease() {}

    IUnknown* Identity() { return static_cast<IUnknown*>(static_cast<FirstFacet*>(this)); }

protected:
    ULONG ReferenceCount() const { return references_; }

private:
    using FirstFacet = std::tuple_element_t<0, std::tuple<Facets...>>;

    void* FindInterface(REFIID iid) {
        if (::IsEqualIID(iid, IID_IUnknown)) return Identity();
        void* found = nullptr;
        ((found = found ? found : Match<Facets>(iid)), ...);
        if (!found && ::IsEqualIID(iid, IID_IDispatch)) found = FirstDispatch<Facets...>();
        return found;
    }
    template <class F>
    void* Match(REFIID iid) {
        return ::IsEqualIID(iid, __uuidof(typename F::Interface))
                   ? static_cast<typename F::Interface*>(static_cast<F*>(this))
                   : nullptr;
    }
    // IDispatch is answered by the first interface that is a dispatch interface.
    template <class F, class... Rest>
    void* FirstDispatch() {
        if constexpr (std::is_base_of_v<IDispatch, typename F::Interface>) {
            return static_cast<IDispatch*>(static_cast<F*>(this));
        } else if constexpr (sizeof...(Rest) > 0) {
            return FirstDispatch<Rest...>();
        } else {
            return nullptr;
        }
    }

    ULONG references_ = 0;
};

// Creates an object the way a class factory does: FinalConstruct runs while the
// object holds one reference, then the requested interface is handed out.
template <class T>
HRESULT CreateComInstance(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    T* instance = new (std::nothrow) T();
    if (!instance) return E_OUTOFMEMORY;
    instance->AddRef();
    HRESULT result = instance->FinalConstruct();
    if (SUCCEEDED(result)) result = instance->QueryInterface(iid, object);
    instance->Release();
    return result;
}

}  // namespace vantik
