#pragma once
// The host's document and name lists as the add-in calls them: every failing
// call raises HostError, which the add-in's event handlers, tick and reader catch.
#include <string>
#include <vector>

#include "HostInterfaces.h"
#include "addin/com/ComPtr.h"

namespace vantik {

class HostError {
public:
    HostError(HRESULT status, const char* interfaceName) : status_(status), interfaceName_(interfaceName) {}
    HRESULT Status() const { return status_; }
    const char* InterfaceName() const { return interfaceName_; }

private:
    HRESULT status_;
    const char* interfaceName_;
};

// Raises HostError for a negative status.
void CheckHostStatus(HRESULT status, const char* interfaceName);

// A list obtained from the host; released when this goes out of scope.
class HostNameList {
public:
    explicit HostNameList(ComPtr<IHostNameList> list) : list_(std::move(list)) {}
    long Count() const;
    // `index` runs from 1 to Count().
    std::string Item(long index) const;

private:
    ComPtr<IHostNameList> list_;
};

struct ComponentInstanceLists {
    HostNameList instances;
    HostNameList symbols;
    HostNameList sheets;
};

struct SelectionAndHighlight {
    HostNameList selected;
    HostNameList highlighted;
};

// Borrows the document for the calls; takes no reference of its own.
class HostDocument {
public:
    explicit HostDocument(IHostDocument* document) : document_(document) {}

    HostNameList SelectedNets() const;
    void ToolTerminated(const std::string& toolName) const;
    HostNameList SelectedPins() const;
    HostNameList SelectedComponents() const;
    void UnselectAll() const;
    void SelectInstance(const std::string& instance) const;
    void SelectNet(const std::string& net) const;
    void SelectPin(const std::string& component, const std::string& pin) const;
    // The first list holds the component's schematic instance names.
    HostNameList GetComponentInstances(const std::string& component) const;
    HostNameList GetPinInstances(const std::string& component, const std::string& pin) const;
    HostNameList HighlightedComponents() const;
    void SwitchToLayout() const;
    SelectionAndHighlight GetSelectionAndHighlight() const;
    HostNameList HighlightEventComponents() const;
    // Its status is looked at instead of raised: EndUpdate follows only a success.
    HRESULT BeginUpdate() const;
    void EndUpdate() const;
    bool PreferLocalExchange() const;

private:
    IHostDocument* document_;
};

}  // namespace vantik
