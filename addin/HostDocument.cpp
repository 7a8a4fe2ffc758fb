#include "addin/HostDocument.h"

#include "addin/com/Bstr.h"

namespace vantik {
namespace {
constexpr const char* kDocument = "IHostDocument";
constexpr const char* kNameList = "IHostNameList";

// A list call that succeeds without a list is a failure of the host as well.
HostNameList TakeList(HRESULT status, IHostNameList* list, const char* interfaceName) {
    ComPtr<IHostNameList> owned = ComPtr<IHostNameList>::Attach(list);
    CheckHostStatus(status, interfaceName);
    if (!owned) throw HostError(E_POINTER, interfaceName);
    return HostNameList(std::move(owned));
}

void ReleaseAll(std::initializer_list<IHostNameList*> lists) {
    for (IHostNameList* list : lists) {
        if (list) list->Release();
    }
}
}  // namespace

void CheckHostStatus(HRESULT status, const char* interfaceName) {
    if (FAILED(status)) throw HostError(status, interfaceName);
}

long HostNameList::Count() const {
    long count = 0;
    CheckHostStatus(list_->Count(&count), kNameList);
    return count;
}

std::string HostNameList::Item(long index) const {
    Bstr name;
    CheckHostStatus(list_->Item(index, name.Put()), kNameList);
    return name.ToAnsi();
}

HostNameList HostDocument::SelectedNets() const {
    IHostNameList* list = nullptr;
    HRESULT status = document_->SelectedNets(&list);
    return TakeList(status, list, kDocument);
}

void HostDocument::ToolTerminated(const std::string& toolName) const {
    CheckHostStatus(document_->ToolTerminated(Bstr::FromAnsi(toolName).Get()), kDocument);
}

HostNameList HostDocument::SelectedPins() const {
    IHostNameList* list = nullptr;
    HRESULT status = document_->SelectedPins(&list);
    return TakeList(status, list, kDocument);
}

HostNameList HostDocument::SelectedComponents() const {
    IHostNameList* list = nullptr;
    HRESULT status = document_->SelectedComponents(&list);
    return TakeList(status, list, kDocument);
}

void HostDocument::UnselectAll() const { CheckHostStatus(document_->UnselectAll(), kDocument); }

void HostDocument::SelectInstance(const std::string& instance) const {
    CheckHostStatus(document_->SelectInstance(Bstr::FromAnsi(instance).Get()), kDocument);
}

void HostDocument::SelectNet(const std::string& net) const {
    CheckHostStatus(document_->SelectNet(Bstr::FromAnsi(net).Get()), kDocument);
}

void HostDocument::SelectPin(const std::string& component, const std::string& pin) const {
    CheckHostStatus(document_->SelectPin(Bstr::FromAnsi(component).Get(), Bstr::FromAnsi(pin).Get()), kDocument);
}

HostNameList HostDocument::GetComponentInstances(const std::string& component) const {
    IHostNameList* lists[3] = {};
    HRESULT status =
        document_->GetComponentInstances(Bstr::FromAnsi(component).Get(), &lists[0], &lists[1], &lists[2]);
    ReleaseAll({lists[1], lists[2]});
    return TakeList(status, lists[0], kDocument);
}

HostNameList HostDocument::GetPinInstances(const std::string& component, const std::string& pin) const {
    IHostNameList* lists[4] = {};
    HRESULT status = document_->GetPinInstances(Bstr::FromAnsi(component).Get(), Bstr::FromAnsi(pin).Get(),
                                                &lists[0], &lists[1], &lists[2], &lists[3]);
    ReleaseAll({lists[1], lists[2], lists[3]});
    return TakeList(status, lists[0], kDocument);
}

HostNameList HostDocument::HighlightedComponents() const {
    IHostNameList* list = nullptr;
    HRESULT status = document_->HighlightedComponents(&list);
    return TakeList(status, list, kDocument);
}

void HostDocument::SwitchToLayout() const { CheckHostStatus(document_->SwitchToLayout(), kDocument); }

SelectionAndHighlight HostDocument::GetSelectionAndHighlight() const {
    IHostNameList* selected = nullptr;
    IHostNameList* highlighted = nullptr;
    HRESULT status = document_->GetSelectionAndHighlight(&selected, &highlighted);
    ComPtr<IHostNameList> highlightedOwner = ComPtr<IHostNameList>::Attach(highlighted);
    HostNameList selectedList = TakeList(status, selected, kDocument);
    HostNameList highlightedList = TakeList(status, highlightedOwner.Detach(), kDocument);
    return {std::move(selectedList), std::move(highlightedList)};
}

HostNameList HostDocument::HighlightEventComponents() const {
    IHostNameList* list = nullptr;
    HRESULT status = document_->HighlightEventComponents(&list);
    return TakeList(status, list, kDocument);
}

HRESULT HostDocument::BeginUpdate() const { return document_->BeginUpdate(); }

void HostDocument::EndUpdate() const { CheckHostStatus(document_->EndUpdate(), kDocument); }

bool HostDocument::PreferLocalExchange() const {
    VARIANT_BOOL preferLocal = VARIANT_FALSE;
    CheckHostStatus(document_->PreferLocalExchange(&preferLocal), kDocument);
    return preferLocal == VARIANT_TRUE;
}

}  // namespace vantik
