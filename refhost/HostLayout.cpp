#include "refhost/HostLayout.h"

#include <algorithm>

namespace vantik::refhost {

HostFault HostLayout::FaultOf(const std::string& operation) const {
    const auto found = faults.find(operation);
    return found == faults.end() ? HostFault::None : found->second;
}

std::string HostLayout::ComponentOfInstance(const std::string& instance) const {
    for (const auto& [component, instances] : componentInstances) {
        if (std::find(instances.begin(), instances.end(), instance) != instances.end()) return component;
    }
    return {};
}

bool HostLayout::Called(const std::string& call) const {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

HostLayout SampleLayout() {
    HostLayout layout;
    layout.componentInstances = {
        {"U1", {"I1"}}, {"U2", {"I2", "I3"}}, {"U3", {"I4"}}, {"U7", {"I7"}}, {"R5", {}},
    };
    layout.pinInstances = {{"U7-12", {"I7"}}, {"U7-A-3", {"I7"}}};
    layout.nets = {"GND", "VCC"};
    return layout;
}

}  // namespace vantik::refhost
