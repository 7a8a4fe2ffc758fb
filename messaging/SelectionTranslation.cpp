// Layout selections and highlights, read from the host, become schematic commands.
// A failing host call ends the handler: what was built so far is not sent.
#include "addin/Clock.h"
#include "addin/HostDocument.h"
#include "addin/VantikTool.h"
#include "messaging/SelectionCommands.h"

namespace vantik {
namespace {
// How long after a stamping layout event a pin event is taken as part of it.
constexpr std::int64_t kPinEventQuietSeconds = 2;

void FeedNames(const HostNameList& names, CommandBuilder& builder) {
    const long count = names.Count();
    for (long index = 1; index <= count; ++index) builder.AppendName(names.Item(index));
}

void FeedInstancesOf(const HostDocument& document, const std::string& component, CommandBuilder& builder) {
    FeedNames(document.GetComponentInstances(component), builder);
}

void FeedInstancesOfEach(const HostDocument& document, const HostNameList& components, long count,
                         CommandBuilder& builder) {
    for (long index = 1; index <= count; ++index) FeedInstancesOf(document, components.Item(index), builder);
}

void FeedPin(const HostDocument& document, const std::string& item, CommandBuilder& builder) {
    builder.OpenCommand();
    const LayoutPin pin = SplitPinAtLastHyphen(item);
    const HostNameList instances = document.GetPinInstances(pin.component, pin.pin);
    for (long index = 1; index <= instances.Count(); ++index) builder.AppendPinName(instances.Item(index), pin.pin);
    builder.EndPin();
}
}  // namespace

void VantikTool::SendSelectedComponents() {
    if (applyingIncoming) return;
    lastLayoutEvent = CurrentTime();
    try {
        const HostDocument document(hostDocument);
        const HostNameList components = document.SelectedComponents();
        const long count = components.Count();
        if (count == 0) return SendCommand(std::string(kUnselectAllInstancesCommand));
        CommandBuilder builder(kSelectInstancePrefix);
        FeedInstancesOfEach(document, components, count, builder);
        SendCommands(builder.Finish());
    } catch (const HostError&) {
    }
}

void VantikTool::SendSelectedNets() {
    if (applyingIncoming) return;
    lastLayoutEvent = CurrentTime();
    try {
        const HostNameList nets = HostDocument(hostDocument).SelectedNets();
        if (nets.Count() == 0) return SendCommand(std::string(kUnselectAllNetsCommand));
        CommandBuilder builder(kSelectNetPrefix);
        FeedNames(nets, builder);
        SendCommands(builder.Finish());
    } catch (const HostError&) {
    }
}

void VantikTool::SendSelectedPins() {
    if (applyingIncoming) return;
    if (CurrentTime() - lastLayoutEvent <= kPinEventQuietSeconds) return;
    try {
        const HostDocument document(hostDocument);
        const HostNameList pins = document.SelectedPins();
        const long count = pins.Count();
        if (count == 0) return SendCommand(std::string(kUnselectAllPinsCommand));
        CommandBuilder builder(kSelectPinPrefix);
        for (long index = 1; index <= count; ++index) FeedPin(document, pins.Item(index), builder);
        SendCommands(builder.Finish());
    } catch (const HostError&) {
    }
}

void VantikTool::SendComponentByName(const std::string& name) {
    lastLayoutEvent = CurrentTime();
    try {
        CommandBuilder builder(kSelectInstancePrefix);
        FeedInstancesOf(HostDocument(hostDocument), name, builder);
        SendCommands(builder.Finish());
    } catch (const HostError&) {
    }
}

void VantikTool::SendSelectionAndHighlight() {
    lastLayoutEvent = CurrentTime();
    try {
        const HostDocument document(hostDocument);
        const SelectionAndHighlight lists = document.GetSelectionAndHighlight();
        // The highlighted list is not looked at while highlights are not cross-probed.
        const long highlighted = highlightMode ? lists.highlighted.Count() : 0;
        if (highlighted > 0) {
            CommandBuilder builder(kHighlightInstancePrefix);
            FeedInstancesOfEach(document, lists.highlighted, highlighted, builder);
            SendCommands(builder.Finish());
        }
        const long selected = lists.selected.Count();
        if (selected > 0) {
            CommandBuilder builder(kSelectInstancePrefix);
            FeedInstancesOfEach(document, lists.selected, selected, builder);
            SendCommands(builder.Finish());
        }
    } catch (const HostError&) {
    }
}

void VantikTool::SendHighlightedComponents() {
    lastLayoutEvent = CurrentTime();
    if (!highlightMode) return;
    try {
        const HostDocument document(hostDocument);
        const HostNameList components = document.HighlightEventComponents();
        const long count = components.Count();
        if (count == 0) return;
        CommandBuilder builder(kHighlightInstancePrefix);
        FeedInstancesOfEach(document, components, count, builder);
        SendCommands(builder.Finish());
    } catch (const HostError&) {
    }
}

void VantikTool::SetHighlightMode(bool on) {
    lastLayoutEvent = CurrentTime();
    highlightMode = on ? 1 : 0;
    try {
        const HostDocument document(hostDocument);
        const HostNameList components = document.HighlightedComponents();
        const long count = components.Count();
        if (count == 0) return;
        CommandBuilder builder(on ? kHighlightInstancePrefix : kUnhighlightInstancePrefix);
        FeedInstancesOfEach(document, components, count, builder);
        SendCommands(builder.Finish());
    } catch (const HostError&) {
    }
}

void VantikTool::SendSwitchToSchematic() { SendCommand(std::string(kSwitchToSchematicCommand)); }

}  // namespace vantik
