#pragma once
// The tool object's sink for the host's HostEvents. It lives inside the tool
// object and counts its references there, so the host's event connection keeps
// the tool alive until link end disconnects it.
#include <windows.h>
#include <oaidl.h>

#include "addin/com/ComPtr.h"

namespace vantik {

class VantikTool;

class HostEventSink final : public IDispatch {
public:
    static constexpr DWORD kNotConnected = 0xFEFEFEFE;

    explicit HostEventSink(VantikTool& tool) : tool_(tool) {}

    HRESULT Connect(IUnknown* eventSource);
    HRESULT Disconnect(IUnknown* eventSource);
    void ForgetConnection() { cookie_ = kNotConnected; }
    DWORD Cookie() const { return cookie_; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argumentError) override;

private:
    ITypeInfo* EventTypeInfo();

    VantikTool& tool_;
    DWORD cookie_ = kNotConnected;
    ComPtr<ITypeInfo> eventTypeInfo_;
};

}  // namespace vantik
