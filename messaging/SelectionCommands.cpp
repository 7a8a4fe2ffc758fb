#include "messaging/SelectionCommands.h"

namespace vantik {

bool IsSafeCommandName(std::string_view name) {
    return name.find_first_of("\"\r\n") == std::string_view::npos;
}

CommandBuilder::CommandBuilder(std::string_view prefix) : prefix_(prefix) {}

void CommandBuilder::AppendName(std::string_view name) {
    if (!IsSafeCommandName(name)) return;
    AppendQuoted(name);
    CloseIfLong();
}

void CommandBuilder::OpenCommand() {
    if (isOpen_) return;
    current_ = prefix_;
    isOpen_ = true;
    hasName_ = false;
}

void CommandBuilder::AppendPinName(std::string_view instance, std::string_view pin) {
    if (!IsSafeCommandName(instance) || !IsSafeCommandName(pin)) return;
    std::string name;
    name.reserve(instance.size() + 1 + pin.size());
    name.append(instance).append(1, '/').append(pin);
    AppendQuoted(name);
}

void CommandBuilder::EndPin() { CloseIfLong(); }

CommandList CommandBuilder::Finish() {
    if (isOpen_) Close();
    CommandList finished;
    finished.swap(commands_);
    return finished;
}

void CommandBuilder::AppendQuoted(std::string_view name) {
    OpenCommand();
    if (hasName_) current_ += ", ";
    current_ += '"';
    current_ += name;
    current_ += '"';
    hasName_ = true;
}

void CommandBuilder::CloseIfLong() {
    if (isOpen_ && current_.size() > kCommandCloseLength) Close();
}

void CommandBuilder::Close() {
    current_ += kCommandSuffix;
    commands_.push_back(std::move(current_));
    current_.clear();
    isOpen_ = false;
    hasName_ = false;
}

CommandList BuildCommands(std::string_view prefix, const std::vector<std::string>& names) {
    CommandBuilder builder(prefix);
    for (const std::string& name : names) builder.AppendName(name);
    return builder.Finish();
}

LayoutPin SplitPinAtLastHyphen(std::string_view text) {
    const std::size_t hyphen = text.rfind('-');
    if (hyphen == std::string_view::npos) return {std::string(), std::string(text)};
    return {std::string(text.substr(0, hyphen)), std::string(text.substr(hyphen + 1))};
}

}  // namespace vantik
