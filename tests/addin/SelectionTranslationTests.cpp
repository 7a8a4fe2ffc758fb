// Layout selections and highlights, read from the reference host, as commands
// in the outgoing exchange file.
#include <gtest/gtest.h>

#include <functional>

#include "tests/addin/ToolFixture.h"

namespace vantik::test {
namespace {

using Strings = std::vector<std::string>;
using refhost::HostFault;
const std::string kClear = "$crossprobe_unselect_all()";

class SelectionTranslationTest : public ToolFixture {
protected:
    Strings SentLines() const { return Lines(Outgoing()); }
    refhost::HostLayout& layout() { return document->layout; }
};

TEST_F(SelectionTranslationTest, SelectedComponentsBecomeOneInstanceCommand) {
    layout().selectedComponents = {"U1", "R5", "U2"};
    tool->SendSelectedComponents();
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@select, @instance, [\"I1\", \"I2\", \"I3\"]]]);"}));
    EXPECT_EQ(tool->lastLayoutEvent, kStartTime);
}

TEST_F(SelectionTranslationTest, LongSelectionsAreSplitAfterFiveHundredCharacters) {
    layout().selectedComponents.clear();
    for (int index = 0; index < 100; ++index) {
        const std::string component = "C" + std::to_string(index);
        char instance[16];
        std::snprintf(instance, sizeof instance, "INST%05d", index);  // nine characters
        layout().componentInstances[component] = {instance};
        layout().selectedComponents.push_back(component);
    }
    tool->SendSelectedComponents();
    const Strings lines = SentLines();
    ASSERT_EQ(lines.size(), 4u);
    const size_t counts[] = {36, 36, 28};
    for (size_t command = 0; command < 3; ++command) {
        SCOPED_TRACE(command);
        const std::string& line = lines[command + 1];
        EXPECT_EQ(static_cast<size_t>(std::count(line.begin(), line.end(), '"')), counts[command] * 2);
    }
    EXPECT_EQ(lines[1].size(), 508u);
}

TEST_F(SelectionTranslationTest, EmptySelectionsSendTheirDeselectAllCommand) {
    struct Case {
        const char* name;
        std::function<void(VantikTool&)> handler;
        const char* command;
    };
    const Case cases[] = {
        {"components", [](VantikTool& t) { t.SendSelectedComponents(); }, "$crossprobe_unselect_all(@instance)"},
        {"nets", [](VantikTool& t) { t.SendSelectedNets(); }, "$crossprobe_unselect_all(@net)"},
        {"pins", [](VantikTool& t) { t.SendSelectedPins(); }, "$crossprobe_unselect_all(@pin)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetTime(2'000'000 + 10 * (&c - cases));  // far from the last stamp, for the pin rule
        c.handler(*tool);
        EXPECT_EQ(SentLines(), (Strings{c.command}));
        RemoveOutgoing();
    }
}

TEST_F(SelectionTranslationTest, SelectedNetsAreSentByName) {
    layout().selectedNets = {"GND", "VCC"};
    tool->SendSelectedNets();
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@select, @net, [\"GND\", \"VCC\"]]]);"}));
}

TEST_F(SelectionTranslationTest, PinsSplitAtTheLastHyphenAndWaitOutAComponentSelection) {
    layout().selectedComponents = {"U1"};
    layout().selectedPins = {"U7-12", "U7-A-3", "R5-1"};
    layout().pinInstances["R5-1"] = {};
    SetTime(5000);
    tool->SendSelectedComponents();
    RemoveOutgoing();

    SetTime(5002);
    tool->SendSelectedPins();
    EXPECT_FALSE(OutgoingExists());
    EXPECT_FALSE(layout().Called("SelectedPins"));

    SetTime(5003);
    tool->SendSelectedPins();
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@select, @pin, [\"I7/12\", \"I7/3\"]]]);"}));
    EXPECT_TRUE(layout().Called("GetPinInstances U7-A 3"));
    EXPECT_EQ(tool->lastLayoutEvent, 5000);
}

TEST_F(SelectionTranslationTest, PinsWithoutInstancesStillOpenOneCommand) {
    layout().selectedPins = {"R5-1", "R5-2"};
    SetTime(2'000'000);
    tool->SendSelectedPins();
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@select, @pin, []]]);"}));
}

TEST_F(SelectionTranslationTest, ComponentByNameSendsItsInstances) {
    tool->SendComponentByName("U2");
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@select, @instance, [\"I2\", \"I3\"]]]);"}));
    RemoveOutgoing();
    tool->SendComponentByName("R5");
    EXPECT_FALSE(OutgoingExists());
}

TEST_F(SelectionTranslationTest, HighlightModeDecidesWhatHighlightEventsSend) {
    layout().selectedComponents = {"U1"};
    layout().highlightedComponents = {"U3"};
    layout().highlightEventComponents = {"U2"};

    tool->SendHighlightedComponents();
    EXPECT_FALSE(OutgoingExists());
    tool->SendSelectionAndHighlight();
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@select, @instance, [\"I1\"]]]);"}));
    RemoveOutgoing();

    tool->SetHighlightMode(true);
    EXPECT_EQ(tool->highlightMode, 1);
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@highlight, @instance, [\"I4\"]]]);"}));
    RemoveOutgoing();

    tool->SendHighlightedComponents();
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@highlight, @instance, [\"I2\", \"I3\"]]]);"}));
    RemoveOutgoing();

    // Two batches: the second is held back behind the first.
    tool->SendSelectionAndHighlight();
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@highlight, @instance, [\"I4\"]]]);"}));
    EXPECT_EQ(tool->pendingCommands, (Strings{"$ly_sx_action([[@select, @instance, [\"I1\"]]]);"}));
    RemoveOutgoing();
    tool->pendingCommands.clear();

    tool->SetHighlightMode(false);
    EXPECT_EQ(tool->highlightMode, 0);
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@unhighlight, @instance, [\"I4\"]]]);"}));
}

TEST_F(SelectionTranslationTest, NamesThatWouldBreakTheCommandAreLeftOut) {
    layout().componentInstances["U9"] = {"A\"B", "C\nD", "E\rF", "OK"};
    layout().selectedComponents = {"U9"};
    tool->SendSelectedComponents();
    EXPECT_EQ(SentLines(), (Strings{kClear, "$ly_sx_action([[@select, @instance, [\"OK\"]]]);"}));
}

TEST_F(SelectionTranslationTest, SelectionsWhileApplyingIncomingMessagesAreNotSentBack) {
    layout().selectedComponents = {"U1"};
    layout().selectedNets = {"GND"};
    layout().selectedPins = {"U7-12"};
    SetTime(2'000'000);
    tool->applyingIncoming = 1;
    tool->SendSelectedComponents();
    tool->SendSelectedNets();
    tool->SendSelectedPins();
    EXPECT_FALSE(OutgoingExists());
    EXPECT_TRUE(layout().calls.empty());
}

TEST_F(SelectionTranslationTest, FailingHostCallEndsTheHandlerWithNothingSent) {
    layout().selectedComponents = {"U1", "U2"};
    layout().selectedNets = {"GND"};
    layout().selectedPins = {"U7-12"};
    layout().highlightedComponents = {"U3"};
    layout().highlightEventComponents = {"U2"};
    struct Case {
        const char* handler;
        std::function<void(VantikTool&)> run;
        const char* failing;
        HostFault fault;
    };
    auto components = [](VantikTool& t) { t.SendSelectedComponents(); };
    auto nets = [](VantikTool& t) { t.SendSelectedNets(); };
    auto pins = [](VantikTool& t) { t.SendSelectedPins(); };
    auto byName = [](VantikTool& t) { t.SendComponentByName("U2"); };
    auto both = [](VantikTool& t) { t.SendSelectionAndHighlight(); };
    auto highlighted = [](VantikTool& t) { t.SendHighlightedComponents(); };
    auto highlightOn = [](VantikTool& t) { t.SetHighlightMode(true); };
    const Case cases[] = {
        {"components", components, "SelectedComponents", HostFault::NegativeStatus},
        {"components", components, "SelectedComponents", HostFault::NoList},
        {"components", components, "GetComponentInstances", HostFault::NegativeStatus},
        {"components", components, "GetComponentInstances", HostFault::NoList},
        {"components", components, "Count", HostFault::NegativeStatus},
        {"components", components, "Item", HostFault::NegativeStatus},
        {"nets", nets, "SelectedNets", HostFault::NoList},
        {"nets", nets, "Item", HostFault::NegativeStatus},
        {"pins", pins, "SelectedPins", HostFault::NegativeStatus},
        {"pins", pins, "GetPinInstances", HostFault::NoList},
        {"by name", byName, "GetComponentInstances", HostFault::NegativeStatus},
        {"selection and highlight", both, "GetSelectionAndHighlight", HostFault::NoList},
        {"selection and highlight", both, "GetComponentInstances", HostFault::NegativeStatus},
        {"highlighted", highlighted, "HighlightEventComponents", HostFault::NegativeStatus},
        {"highlighted", highlighted, "GetComponentInstances", HostFault::NoList},
        {"highlight mode", highlightOn, "HighlightedComponents", HostFault::NoList},
        {"highlight mode", highlightOn, "Item", HostFault::NegativeStatus},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.handler) + ", failing " + c.failing);
        tool->highlightMode = 1;
        SetTime(3'000'000 + 10 * static_cast<std::int64_t>(&c - cases));
        layout().faults = {{c.failing, c.fault}};
        c.run(*tool);
        EXPECT_FALSE(OutgoingExists());
        EXPECT_TRUE(tool->pendingCommands.empty());
        RemoveOutgoing();
    }
}

}  // namespace
}  // namespace vantik::test
