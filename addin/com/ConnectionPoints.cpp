#include "addin/com/ConnectionPoints.h"

#include "addin/com/ComPtr.h"

namespace vantik {
namespace {
HRESULT FindPoint(IUnknown* source, REFIID eventInterface, ComPtr<IConnectionPoint>& point) {
    if (!source) return E_INVALIDARG;
    ComPtr<IConnectionPointContainer> container;
    HRESULT result = source->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
    if (FAILED(result)) return result;
    return container->FindConnectionPoint(eventInterface, point.Put());
}
}  // namespace

HRESULT AdviseSink(IUnknown* source, REFIID eventInterface, IUnknown* sink, DWORD* cookie) {
    ComPtr<IConnectionPoint> point;
    HRESULT result = FindPoint(source, eventInterface, point);
    return FAILED(result) ? result : point->Advise(sink, cookie);
}

HRESULT UnadviseSink(IUnknown* source, REFIID eventInterface, DWORD cookie) {
    ComPtr<IConnectionPoint> point;
    HRESULT result = FindPoint(source, eventInterface, point);
    return FAILED(result) ? result : point->Unadvise(cookie);
}

}  // namespace vantik
