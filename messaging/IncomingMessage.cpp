#include "messaging/IncomingMessage.h"

#include "fsutil/AsciiCase.h"

namespace vantik {
namespace {

// The C locale's white space, as the formatted reader of the C runtime sees it.
bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Skips white space, then takes at most limit non-blank characters; the
// position moves past what was taken, so the rest of a cut token comes next.
std::string TakeToken(std::string_view line, std::size_t& position, std::size_t limit) {
    while (position < line.size() && IsSeparator(line[position])) ++position;
    const std::size_t start = position;
    while (position < line.size() && position - start < limit && !IsSeparator(line[position])) {
        ++position;
    }
    return std::string(line.substr(start, position - start));
}

char ActionLetter(const std::string& token) { return token.empty() ? '\0' : token.front(); }

IncomingMessage Continue(IncomingAction action, std::string first = {}, std::string second = {}) {
    return {action, std::move(first), std::move(second), true};
}

IncomingMessage InstanceMessage(const MessageTokens& tokens) {
    switch (ActionLetter(tokens.second)) {
        case 'S': return Continue(IncomingAction::SelectInstance, tokens.third);
        case 'H': return Continue(IncomingAction::HighlightOn);
        case 'I': return Continue(IncomingAction::HighlightOff);
        default: return Continue(IncomingAction::UnselectAll);
    }
}

// The schematic side splits at the first hyphen, so the pin name may hold more.
IncomingMessage PinMessage(const MessageTokens& tokens) {
    if (ActionLetter(tokens.second) != 'S') return Continue(IncomingAction::UnselectAll);
    const std::size_t hyphen = tokens.third.find('-');
    if (hyphen == std::string::npos) return Continue(IncomingAction::None);
    return Continue(IncomingAction::SelectPin, tokens.third.substr(0, hyphen),
                    tokens.third.substr(hyphen + 1));
}

IncomingMessage NetMessage(const MessageTokens& tokens) {
    if (ActionLetter(tokens.second) != 'S') return Continue(IncomingAction::UnselectAll);
    return Continue(IncomingAction::SelectNet, tokens.third);
}

}  // namespace

MessageTokens ReadMessageTokens(std::string_view line) {
    std::size_t position = 0;
    MessageTokens tokens;
    tokens.keyword = TakeToken(line, position, kKeywordTokenLimit);
    tokens.second = TakeToken(line, position, kActionTokenLimit);
    tokens.third = TakeToken(line, position, kNameTokenLimit);
    return tokens;
}

IncomingMessage ParseIncomingLine(std::string_view line) {
    const MessageTokens tokens = ReadMessageTokens(line);
    const std::string& keyword = tokens.keyword;
    if (EqualsIgnoringAsciiCase(keyword, "instance")) return InstanceMessage(tokens);
    if (EqualsIgnoringAsciiCase(keyword, "pin")) return PinMessage(tokens);
    if (EqualsIgnoringAsciiCase(keyword, "net")) return NetMessage(tokens);
    if (EqualsIgnoringAsciiCase(keyword, "component")) return Continue(IncomingAction::None);
    if (EqualsIgnoringAsciiCase(keyword, "viewpoint")) return Continue(IncomingAction::None);
    if (EqualsIgnoringAsciiCase(keyword, kTerminateMessageKeyword)) {
        return {IncomingAction::Terminate, {}, {}, false};
    }
    if (EqualsIgnoringAsciiCase(keyword, "unselectall")) return Continue(IncomingAction::UnselectAll);
    if (EqualsIgnoringAsciiCase(keyword, "SwitchToTW")) return Continue(IncomingAction::SwitchToLayout);
    return {};
}

std::string_view NextReadPiece(std::string_view text) {
    const std::size_t lineFeed = text.find('\n');
    const std::size_t lineLength = lineFeed == std::string_view::npos ? text.size() : lineFeed + 1;
    return text.substr(0, lineLength < kReadPieceLimit ? lineLength : kReadPieceLimit);
}

}  // namespace vantik
