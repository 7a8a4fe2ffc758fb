#pragma once
// The reference host's document: IHostDocument over a HostLayout, and the
// connection point through which it fires HostEvents to advised sinks.
#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "HostInterfaces.h"
#include "addin/com/ComObject.h"
#include "addin/com/ComPtr.h"
#include "addin/com/TypeInfoDispatch.h"
#include "addin/com/Variant.h"
#include "refhost/HostLayout.h"

namespace vantik::refhost {

extern const TypeLibraryId kHostLibrary;

class ReferenceDocument;

class HostEventsPoint final : public IConnectionPoint {
public:
    explicit HostEventsPoint(ReferenceDocument& document) : document_(document) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

    size_t ConnectionCount() const { return sinks_.size(); }
    std::vector<ComPtr<IDispatch>> Sinks() const;
    // As a host that drops its event connections without ending the link.
    void DropAll() { sinks_.clear(); }

private:
    struct Connection {
        DWORD cookie;
        ComPtr<IDispatch> sink;
    };
    ReferenceDocument& document_;
    std::vector<Connection> sinks_;
    DWORD nextCookie_ = 1;
};

#define VANTIK_RESERVED(n) \
    STDMETHODIMP Reserved##n() override { return Record("Reserved" #n); }

class ReferenceDocument final
    : public ComObject<ReferenceDocument, DispatchFacet<IHostDocument, kHostLibrary>,
                       Facet<IConnectionPointContainer>> {
public:
    static constexpr bool kLocksModule = false;

    explicit ReferenceDocument(HostLayout layout = HostLayout());
    static ComPtr<ReferenceDocument> Create(HostLayout layout = HostLayout());

    HostLayout layout;
    // The host answers a selection made by the schematic side with its own
    // selection event, as a real host does.
    bool fireSelectionEvents = true;
    // Runs inside each call of the add-in, after it is recorded: a test makes
    // the host do something of its own there, as firing an event.
    std::function<void(const std::string& call)> onCall;

    // Fires one event to every advised sink; the arguments in declaration order.
    // Returns the first failing status of a sink, else S_OK.
    HRESULT Fire(DISPID id, std::vector<VARIANT> arguments = {});
    size_t ConnectionCount() const { return point_.ConnectionCount(); }
    void DropConnections() { point_.DropAll(); }
    std::vector<ComPtr<IDispatch>> Sinks() const { return point_.Sinks(); }
    IHostDocument* Document() { return this; }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IHostDocument
    VANTIK_RESERVED(7) VANTIK_RESERVED(8) VANTIK_RESERVED(9) VANTIK_RESERVED(12) VANTIK_RESERVED(13)
    VANTIK_RESERVED(14) VANTIK_RESERVED(15) VANTIK_RESERVED(16) VANTIK_RESERVED(17) VANTIK_RESERVED(18)
    VANTIK_RESERVED(19) VANTIK_RESERVED(20) VANTIK_RESERVED(21) VANTIK_RESERVED(22) VANTIK_RESERVED(30)
    VANTIK_RESERVED(32) VANTIK_RESERVED(33) VANTIK_RESERVED(34) VANTIK_RESERVED(35) VANTIK_RESERVED(36)
    VANTIK_RESERVED(39)
    STDMETHODIMP SelectedNets(IHostNameList** nets) override;
    STDMETHODIMP ToolTerminated(BSTR toolName) override;
    STDMETHODIMP SelectedPins(IHostNameList** pins) override;
    STDMETHODIMP SelectedComponents(IHostNameList** components) override;
    STDMETHODIMP UnselectAll() override;
    STDMETHODIMP SelectInstance(BSTR instance) override;
    STDMETHODIMP SelectNet(BSTR net) override;
    STDMETHODIMP SelectPin(BSTR component, BSTR pin) override;
    STDMETHODIMP GetComponentInstances(BSTR component, IHostNameList** instances, IHostNameList** symbols,
                                       IHostNameList** sheets) override;
    STDMETHODIMP GetPinInstances(BSTR component, BSTR pin, IHostNameList** instances, IHostNameList** symbols,
                                 IHostNameList** sheets, IHostNameList** pinNumbers) override;
    STDMETHODIMP HighlightedComponents(IHostNameList** components) override;
    STDMETHODIMP SwitchToLayout() override;
    STDMETHODIMP GetSelectionAndHighlight(IHostNameList** selected, IHostNameList** highlighted) override;
    STDMETHODIMP HighlightEventComponents(IHostNameList** components) override;
    STDMETHODIMP BeginUpdate() override;
    STDMETHODIMP EndUpdate() override;
    STDMETHODIMP PreferLocalExchange(VARIANT_BOOL* preferLocal) override;

private:
    HRESULT Record(const std::string& call);
    HRESULT HandOutList(const std::string& operation, const std::vector<std::string>& names, IHostNameList** list);
    HRESULT HandOutLists(const std::string& call, const std::string& operation,
                         const std::vector<std::string>& first, std::initializer_list<IHostNameList**> lists);
    void FireSelection(DISPID id);

    HostEventsPoint point_;
};

#undef VANTIK_RESERVED

}  // namespace vantik::refhost
