#pragma once
// An owning COM interface pointer: one reference, released on every path.
#include <windows.h>
#include <unknwn.h>
#include <utility>

namespace vantik {

template <class Interface>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(Interface* pointer) : pointer_(pointer) { AddRefHeld(); }
    ComPtr(const ComPtr& other) : pointer_(other.pointer_) { AddRefHeld(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;
    }

    // Takes over a reference that the caller already owns.
    static ComPtr Attach(Interface* pointer) {
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }
    Interface* Detach() { return std::exchange(pointer_, nullptr); }

    void Reset() {
        if (Interface* old = std::exchange(pointer_, nullptr)) old->Release();
    }
    // For out parameters: drops what is held and hands out the slot.
    Interface** Put() {
        Reset();
        return &pointer_;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    Interface* Get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    template <class Other>
    ComPtr<Other> As() const {
        ComPtr<Other> result;
        if (pointer_) pointer_->QueryInterface(__uuidof(Other), result.PutVoid());
        return result;
    }

    // Hands a new reference to a caller's out parameter.
    HRESULT CopyTo(Interface** target) const {
        if (!target) return E_POINTER;
        *target = pointer_;
        if (pointer_) pointer_->AddRef();
        return S_OK;
    }

private:
    void AddRefHeld() {
        if (pointer_) pointer_->AddRef();
    }
    Interface* pointer_ = nullptr;
};

}  // namespace vantik
