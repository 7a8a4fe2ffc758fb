#include "refhost/ReferenceDocument.h"

#include <algorithm>
#include <new>

#include <olectl.h>

#include "addin/com/Bstr.h"

namespace vantik::refhost {

const TypeLibraryId kHostLibrary = {&LIBID_RoutanaHostLib, 1, 0};

namespace {
constexpr DISPID kComponentSelectionEvent = 4;
constexpr DISPID kNetSelectionEvent = 5;
constexpr DISPID kPinSelectionEvent = 6;

class NameList final : public ComObject<NameList, DispatchFacet<IHostNameList, kHostLibrary>> {
public:
    static constexpr bool kLocksModule = false;

    NameList(std::vector<std::string> names, HostLayout& layout) : names_(std::move(names)), layout_(layout) {}

    STDMETHODIMP Reserved7() override { return S_OK; }
    STDMETHODIMP Item(long index, BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        if (layout_.FaultOf("Item") != HostFault::None) return E_FAIL;
        if (index < 1 || index > static_cast<long>(names_.size())) return E_INVALIDARG;
        *name = Bstr::FromAnsi(names_[static_cast<size_t>(index - 1)]).Detach();
        return S_OK;
    }
    STDMETHODIMP Count(long* count) override {
        if (!count) return E_POINTER;
        if (layout_.FaultOf("Count") != HostFault::None) return E_FAIL;
        *count = static_cast<long>(names_.size());
        return S_OK;
    }

private:
    std::vector<std::string> names_;
    HostLayout& layout_;
};

template <class Map>
std::vector<std::string> NamesOf(const Map& map, const std::string& key) {
    const auto found = map.find(key);
    return found == map.end() ? std::vector<std::string>() : found->second;
}
}  // namespace

// ---- connection point -------------------------------------------------------

STDMETHODIMP HostEventsPoint::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) HostEventsPoint::AddRef() { return document_.AddRef(); }
STDMETHODIMP_(ULONG) HostEventsPoint::Release() { return document_.Release(); }

STDMETHODIMP HostEventsPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID_HostEvents;
    return S_OK;
}

STDMETHODIMP HostEventsPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = &document_;
    document_.AddRef();
    return S_OK;
}

STDMETHODIMP HostEventsPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    ComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(DIID_HostEvents, events.PutVoid()))) return CONNECT_E_CANNOTCONNECT;
    // As some connection points do, a refusal still writes the cookie.
    if (document_.layout.FaultOf("Advise") != HostFault::None) {
        *cookie = 0;
        return CONNECT_E_ADVISELIMIT;
    }
    *cookie = nextCookie_++;
    sinks_.push_back({*cookie, std::move(events)});
    document_.layout.calls.push_back("Advise");
    return S_OK;
}

STDMETHODIMP HostEventsPoint::Unadvise(DWORD cookie) {
    const auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                    [cookie](const Connection& connection) { return connection.cookie == cookie; });
    if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
    // Released after the erase: the sink's owner may go away with its last reference.
    ComPtr<IDispatch> leaving = std::move(found->sink);
    sinks_.erase(found);
    document_.layout.calls.push_back("Unadvise");
    return S_OK;
}

// The add-in never enumerates connections; a host need not offer it.
STDMETHODIMP HostEventsPoint::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

std::vector<ComPtr<IDispatch>> HostEventsPoint::Sinks() const {
    std::vector<ComPtr<IDispatch>> sinks;
    for (const Connection& connection : sinks_) sinks.push_back(connection.sink);
    return sinks;
}

// ---- document ---------------------------------------------------------------

ReferenceDocument::ReferenceDocument(HostLayout initialLayout) : layout(std::move(initialLayout)), point_(*this) {}

ComPtr<ReferenceDocument> ReferenceDocument::Create(HostLayout layout) {
    return ComPtr<ReferenceDocument>(new ReferenceDocument(std::move(layout)));
}

HRESULT ReferenceDocument::Fire(DISPID id, std::vector<VARIANT> arguments) {
    // DISPPARAMS carries positional arguments last-first.
    std::vector<VARIANT> block(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters = {block.empty() ? nullptr : block.data(), nullptr, static_cast<UINT>(block.size()), 0};
    HRESULT first = S_OK;
    // A copy: a handler may disconnect while the event is delivered.
    for (const ComPtr<IDispatch>& sink : point_.Sinks()) {
        Variant result;
        const HRESULT status =
            sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.Get(), nullptr, nullptr);
        if (FAILED(status) && SUCCEEDED(first)) first = status;
    }
    for (VARIANT& argument : arguments) ::VariantClear(&argument);
    return first;
}

STDMETHODIMP ReferenceDocument::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ReferenceDocument::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (!::IsEqualIID(iid, DIID_HostEvents)) return CONNECT_E_NOCONNECTION;
    *point = &point_;
    point_.AddRef();
    return S_OK;
}

HRESULT ReferenceDocument::Record(const std::string& call) {
    layout.calls.push_back(call);
    if (onCall) onCall(call);
    const std::string operation = call.substr(0, call.find(' '));
    return layout.FaultOf(operation) == HostFault::NegativeStatus ? E_FAIL : S_OK;
}

HRESULT ReferenceDocument::HandOutList(const std::string& operation, const std::vector<std::string>& names,
                                       IHostNameList** list) {
    return HandOutLists(operation, operation, names, {list});
}

HRESULT ReferenceDocument::HandOutLists(const std::string& call, const std::string& operation,
                                        const std::vector<std::string>& first,
                                        std::initializer_list<IHostNameList**> lists) {
    for (IHostNameList** list : lists) {
        if (!list) return E_POINTER;
        *list = nullptr;
    }
    const HRESULT status = Record(call);
    if (FAILED(status) || layout.FaultOf(operation) == HostFault::NoList) return status;
    bool isFirst = true;
    for (IHostNameList** list : lists) {
        *list = new NameList(isFirst ? first : std::vector<std::string>(), layout);
        (*list)->AddRef();
        isFirst = false;
    }
    return S_OK;
}

void ReferenceDocument::FireSelection(DISPID id) {
    if (fireSelectionEvents) Fire(id);
}

STDMETHODIMP ReferenceDocument::SelectedNets(IHostNameList** nets) {
    return HandOutList("SelectedNets", layout.selectedNets, nets);
}

STDMETHODIMP ReferenceDocument::ToolTerminated(BSTR toolName) {
    return Record("ToolTerminated " + BstrToAnsi(toolName));
}

STDMETHODIMP ReferenceDocument::SelectedPins(IHostNameList** pins) {
    return HandOutList("SelectedPins", layout.selectedPins, pins);
}

STDMETHODIMP ReferenceDocument::SelectedComponents(IHostNameList** components) {
    return HandOutList("SelectedComponents", layout.selectedComponents, components);
}

STDMETHODIMP ReferenceDocument::UnselectAll() {
    const HRESULT status = Record("UnselectAll");
    if (FAILED(status)) return status;
    layout.selectedComponents.clear();
    layout.selectedNets.clear();
    layout.selectedPins.clear();
    FireSelection(kComponentSelectionEvent);
    return S_OK;
}

STDMETHODIMP ReferenceDocument::SelectInstance(BSTR instance) {
    const std::string name = BstrToAnsi(instance);
    const HRESULT status = Record("SelectInstance " + name);
    if (FAILED(status)) return status;
    const std::string component = layout.ComponentOfInstance(name);
    layout.selectedComponents.clear();
    if (!component.empty()) layout.selectedComponents.push_back(component);
    FireSelection(kComponentSelectionEvent);
    return S_OK;
}

STDMETHODIMP ReferenceDocument::SelectNet(BSTR net) {
    const std::string name = BstrToAnsi(net);
    const HRESULT status = Record("SelectNet " + name);
    if (FAILED(status)) return status;
    layout.selectedNets = {name};
    FireSelection(kNetSelectionEvent);
    return S_OK;
}

STDMETHODIMP ReferenceDocument::SelectPin(BSTR component, BSTR pin) {
    const std::string componentName = BstrToAnsi(component);
    const std::string pinName = BstrToAnsi(pin);
    const HRESULT status = Record("SelectPin " + componentName + " " + pinName);
    if (FAILED(status)) return status;
    layout.selectedPins = {componentName + "-" + pinName};
    FireSelection(kPinSelectionEvent);
    return S_OK;
}

STDMETHODIMP ReferenceDocument::GetComponentInstances(BSTR component, IHostNameList** instances,
                                                      IHostNameList** symbols, IHostNameList** sheets) {
    const std::string name = BstrToAnsi(component);
    return HandOutLists("GetComponentInstances " + name, "GetComponentInstances",
                        NamesOf(layout.componentInstances, name), {instances, symbols, sheets});
}

STDMETHODIMP ReferenceDocument::GetPinInstances(BSTR component, BSTR pin, IHostNameList** instances,
                                                IHostNameList** symbols, IHostNameList** sheets,
                                                IHostNameList** pinNumbers) {
    const std::string key = BstrToAnsi(component) + "-" + BstrToAnsi(pin);
    return HandOutLists("GetPinInstances " + BstrToAnsi(component) + " " + BstrToAnsi(pin), "GetPinInstances",
                        NamesOf(layout.pinInstances, key), {instances, symbols, sheets, pinNumbers});
}

STDMETHODIMP ReferenceDocument::HighlightedComponents(IHostNameList** components) {
    return HandOutList("HighlightedComponents", layout.highlightedComponents, components);
}

STDMETHODIMP ReferenceDocument::SwitchToLayout() { return Record("SwitchToLayout"); }

STDMETHODIMP ReferenceDocument::GetSelectionAndHighlight(IHostNameList** selected, IHostNameList** highlighted) {
    const HRESULT status = HandOutLists("GetSelectionAndHighlight", "GetSelectionAndHighlight",
                                        layout.selectedComponents, {selected, highlighted});
    if (SUCCEEDED(status) && *highlighted) {
        (*highlighted)->Release();
        *highlighted = new NameList(layout.highlightedComponents, layout);
        (*highlighted)->AddRef();
    }
    return status;
}

STDMETHODIMP ReferenceDocument::HighlightEventComponents(IHostNameList** components) {
    return HandOutList("HighlightEventComponents", layout.highlightEventComponents, components);
}

STDMETHODIMP ReferenceDocument::BeginUpdate() { return Record("BeginUpdate"); }
STDMETHODIMP ReferenceDocument::EndUpdate() { return Record("EndUpdate"); }

STDMETHODIMP ReferenceDocument::PreferLocalExchange(VARIANT_BOOL* preferLocal) {
    if (!preferLocal) return E_POINTER;
    const HRESULT status = Record("PreferLocalExchange");
    *preferLocal = layout.preferLocalExchange ? VARIANT_TRUE : VARIANT_FALSE;
    return status;
}

}  // namespace vantik::refhost
