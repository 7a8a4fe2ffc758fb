#pragma once
// The reference layout host: an in-memory layout that stands where the real
// layout host stands, for the add-in's tests and demo. It records every call the
// add-in makes, in order, and can make any chosen operation fail.
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vantik::refhost {

enum class HostFault {
    None,
    NegativeStatus,  // the call returns E_FAIL
    NoList,          // a list call succeeds without handing out a list
};

struct HostLayout {
    // Component name -> its schematic instance names.
    std::map<std::string, std::vector<std::string>> componentInstances;
    // "component-pin" -> the pin's schematic instance names.
    std::map<std::string, std::vector<std::string>> pinInstances;
    std::vector<std::string> nets;

    std::vector<std::string> selectedComponents;
    std::vector<std::string> selectedNets;
    std::vector<std::string> selectedPins;
    std::vector<std::string> highlightedComponents;
    std::vector<std::string> highlightEventComponents;
    bool preferLocalExchange = false;

    // Every call of the add-in, as "Operation argument argument".
    std::vector<std::string> calls;
    // Operation name -> how it fails.
    std::map<std::string, HostFault> faults;

    HostFault FaultOf(const std::string& operation) const;
    // The component that owns a schematic instance, or an empty text.
    std::string ComponentOfInstance(const std::string& instance) const;
    bool Called(const std::string& call) const;
    void ClearCalls() { calls.clear(); }
};

// A small sample board: U1..U3 with instances, nets GND/VCC, pins of U7.
HostLayout SampleLayout();

}  // namespace vantik::refhost
