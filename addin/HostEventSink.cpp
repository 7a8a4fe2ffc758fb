#include "addin/HostEventSink.h"

#include <vector>

#include "addin/VantikTool.h"
#include "addin/com/Bstr.h"
#include "addin/com/ConnectionPoints.h"
#include "addin/com/TypeInfoDispatch.h"
#include "addin/com/Variant.h"

namespace vantik {
namespace {
constexpr UINT kMostEventArguments = 8;

using EventArguments = std::vector<Variant>;
using EventHandler = void (*)(VantikTool& tool, EventArguments& arguments);

struct EventEntry {
    DISPID id;
    EventHandler handler;
    // Only a handler that reads its arguments has them converted: the others
    // take the event whatever the host passed with it.
    bool readsArguments = false;
};

void Ignore(VantikTool&, EventArguments&) {}

const EventEntry kEventTable[] = {
    {1, &Ignore},
    {2, &Ignore},
    {3, [](VantikTool&, EventArguments&) { StopPollTimer(); }},
    {4, [](VantikTool& tool, EventArguments&) { tool.SendSelectedComponents(); }},
    {5, [](VantikTool& tool, EventArguments&) { tool.SendSelectedNets(); }},
    {6, [](VantikTool& tool, EventArguments&) { tool.SendSelectedPins(); }},
    {7, &Ignore},
    {9, &Ignore},
    {8, [](VantikTool& tool, EventArguments&) { tool.ClearHighlightMode(); }},
    {16, &Ignore},
    {17, &Ignore},
    {18, &Ignore},
    {19,
     [](VantikTool& tool, EventArguments& arguments) {
         const VARIANT* name = arguments.empty() ? nullptr : arguments[0].Get();
         tool.SendComponentByName(name && V_VT(name) == VT_BSTR ? BstrToAnsi(V_BSTR(name)) : std::string());
     },
     true},
    {21, [](VantikTool& tool, EventArguments&) { tool.SendSelectionAndHighlight(); }},
    {22, [](VantikTool& tool, EventArguments&) { tool.SendHighlightedComponents(); }},
    {20, [](VantikTool& tool, EventArguments&) { tool.SendSwitchToSchematic(); }},
};

const EventEntry* FindEvent(DISPID id) {
    for (const EventEntry& entry : kEventTable) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

// The description of one event; released with it.
class FunctionDescription {
public:
    FunctionDescription(ITypeInfo* info, DISPID id) : info_(info) {
        TYPEATTR* attributes = nullptr;
        if (FAILED(info->GetTypeAttr(&attributes))) return;
        const WORD functions = attributes->cFuncs;
        info->ReleaseTypeAttr(attributes);
        for (UINT index = 0; index < functions && !description_; ++index) {
            FUNCDESC* candidate = nullptr;
            if (FAILED(info->GetFuncDesc(index, &candidate))) continue;
            if (candidate->memid == id) {
                description_ = candidate;
            } else {
                info->ReleaseFuncDesc(candidate);
            }
        }
    }
    FunctionDescription(const FunctionDescription&) = delete;
    FunctionDescription& operator=(const FunctionDescription&) = delete;
    ~FunctionDescription() {
        if (description_) info_->ReleaseFuncDesc(description_);
    }
    const FUNCDESC* operator->() const { return description_; }
    explicit operator bool() const { return description_ != nullptr; }

private:
    ITypeInfo* info_;
    FUNCDESC* description_ = nullptr;
};

// Where the argument for declared position `position` stands in the host's block:
// named arguments by their ids, positional ones last-first after them.
const VARIANT* FindArgument(const DISPPARAMS& parameters, UINT position) {
    for (UINT named = 0; named < parameters.cNamedArgs; ++named) {
        if (parameters.rgdispidNamedArgs[named] == static_cast<DISPID>(position)) return &parameters.rgvarg[named];
    }
    const UINT positional = parameters.cArgs - parameters.cNamedArgs;
    if (position >= positional) return nullptr;
    return &parameters.rgvarg[parameters.cArgs - 1 - position];
}

HRESULT CollectArguments(const FunctionDescription& description, const DISPPARAMS* parameters,
                         EventArguments& arguments, UINT* argumentError) {
    static const DISPPARAMS kNoParameters = {nullptr, nullptr, 0, 0};
    const DISPPARAMS& block = parameters ? *parameters : kNoParameters;
    arguments = EventArguments(static_cast<size_t>(description->cParams));
    for (UINT position = 0; position < static_cast<UINT>(description->cParams); ++position) {
        const VARIANT* given = FindArgument(block, position);
        if (!given) return DISP_E_PARAMNOTFOUND;
        const VARTYPE declared = description->lprgelemdescParam[position].tdesc.vt;
        const VARTYPE wanted = declared == VT_VARIANT || declared == VT_USERDEFINED ? V_VT(given) : declared;
        if (FAILED(::VariantChangeType(arguments[position].Put(), const_cast<VARIANT*>(given), 0, wanted))) {
            if (argumentError) *argumentError = position;
            return DISP_E_TYPEMISMATCH;
        }
    }
    return S_OK;
}
}  // namespace

HRESULT HostEventSink::Connect(IUnknown* eventSource) {
    // A connection point may write into the cookie even when it refuses.
    DWORD cookie = kNotConnected;
    const HRESULT status = AdviseSink(eventSource, DIID_HostEvents, static_cast<IDispatch*>(this), &cookie);
    if (SUCCEEDED(status)) cookie_ = cookie;
    return status;
}

HRESULT HostEventSink::Disconnect(IUnknown* eventSource) {
    return UnadviseSink(eventSource, DIID_HostEvents, cookie_);
}

STDMETHODIMP HostEventSink::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (::IsEqualIID(iid, DIID_HostEvents) || ::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) HostEventSink::AddRef() { return tool_.AddRef(); }
STDMETHODIMP_(ULONG) HostEventSink::Release() { return tool_.Release(); }

STDMETHODIMP HostEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP HostEventSink::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    return AnswerTypeInfo(index == 0 ? EventTypeInfo() : nullptr, index, info);
}

STDMETHODIMP HostEventSink::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return AnswerIDsOfNames(EventTypeInfo(), names, count, ids);
}

STDMETHODIMP HostEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO*, UINT* argumentError) {
    const EventEntry* entry = FindEvent(id);
    if (!entry) return S_OK;
    ITypeInfo* events = EventTypeInfo();
    if (!events) return S_OK;
    FunctionDescription description(events, id);
    if (!description) return S_OK;
    if (static_cast<UINT>(description->cParams) > kMostEventArguments) return E_FAIL;

    EventArguments arguments;
    if (entry->readsArguments) {
        const HRESULT collected = CollectArguments(description, parameters, arguments, argumentError);
        if (FAILED(collected)) return collected;
    }
    entry->handler(tool_, arguments);
    // No handler returns a value.
    if (result) ::VariantInit(result);
    return S_OK;
}

ITypeInfo* HostEventSink::EventTypeInfo() {
    // Only a library that was found is kept, so one registered later is still used.
    if (!eventTypeInfo_) eventTypeInfo_ = LoadTypeInfo(kHostTypeLibrary, DIID_HostEvents);
    return eventTypeInfo_.Get();
}

}  // namespace vantik
