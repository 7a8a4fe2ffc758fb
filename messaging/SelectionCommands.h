#pragma once
// The texts of the commands that go to the schematic tool, and the building of
// selection commands from names, apart from any host call or file access.
//
// A selection command lists quoted names between a prefix and a suffix:
//     $ly_sx_action([[@select, @instance, ["U1", "U2"]]]);
// The schematic tool's reader copes with lines of a little over 500 bytes, so a
// command is closed as soon as a name takes it past 500 bytes; a name is never
// split, so the last name and the suffix may run past that.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantik {

// Command texts in the order they are sent, without line ends.
using CommandList = std::vector<std::string>;

constexpr std::string_view kSelectInstancePrefix = "$ly_sx_action([[@select, @instance, [";
constexpr std::string_view kSelectNetPrefix = "$ly_sx_action([[@select, @net, [";
constexpr std::string_view kSelectPinPrefix = "$ly_sx_action([[@select, @pin, [";
constexpr std::string_view kHighlightInstancePrefix = "$ly_sx_action([[@highlight, @instance, [";
constexpr std::string_view kUnhighlightInstancePrefix = "$ly_sx_action([[@unhighlight, @instance, [";
constexpr std::string_view kCommandSuffix = "]]]);";

// A command is closed once it is strictly longer than this, after a name's
// closing quote.
constexpr std::size_t kCommandCloseLength = 500;

constexpr std::string_view kClearSelectionCommand = "$crossprobe_unselect_all()";
constexpr std::string_view kUnselectAllInstancesCommand = "$crossprobe_unselect_all(@instance)";
constexpr std::string_view kUnselectAllNetsCommand = "$crossprobe_unselect_all(@net)";
constexpr std::string_view kUnselectAllPinsCommand = "$crossprobe_unselect_all(@pin)";
constexpr std::string_view kTerminateCrossprobeCommand = "$ly_sx_terminate_crossprobe()";
constexpr std::string_view kSwitchToSchematicCommand = "$SwitchToSX()";

// A name goes between double quotes on one line of the schematic tool's
// script: a double quote would end the string early and a CR or LF would start
// a script line of its own, so a name holding any of them is never sent.
bool IsSafeCommandName(std::string_view name);

// Builds the commands of one handler run with one prefix. The open command
// carries over from one source list to the next as long as the same builder is
// fed; Finish closes it.
class CommandBuilder {
public:
    explicit CommandBuilder(std::string_view prefix);

    // Appends one quoted name, opening a command when none is open, and closes
    // the command when the name took it past the limit. An unsafe name is left
    // out and changes nothing.
    void AppendName(std::string_view name);

    // The pin form. A selected pin opens a command even when it then yields no
    // name, so OpenCommand comes first, then one AppendPinName per instance of
    // the pin, then EndPin for the length test (which is not made between the
    // names of one pin).
    void OpenCommand();
    // Appends "instance/pin" quoted; left out when either part is unsafe.
    void AppendPinName(std::string_view instance, std::string_view pin);
    void EndPin();

    bool HasOpenCommand() const { return isOpen_; }

    // Closes the open command, if any, and hands over every stored command.
    // The builder is empty afterwards and may be used again.
    CommandList Finish();

private:
    void AppendQuoted(std::string_view name);
    void CloseIfLong();
    void Close();

    std::string prefix_;
    std::string current_;
    bool isOpen_ = false;
    bool hasName_ = false;
    CommandList commands_;
};

// The commands for one list of names with one prefix; no names, no command.
CommandList BuildCommands(std::string_view prefix, const std::vector<std::string>& names);

// A layout pin "component-pin", split at its last hyphen, so that a component
// name may hold hyphens: "A-B-3" is component "A-B", pin "3". Without a hyphen
// the component is empty and the whole text is the pin.
struct LayoutPin {
    std::string component;
    std::string pin;
};
LayoutPin SplitPinAtLastHyphen(std::string_view text);

}  // namespace vantik
