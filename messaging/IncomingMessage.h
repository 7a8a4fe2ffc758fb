#pragma once
// The messages that the schematic tool writes into the incoming exchange file,
// one per line, turned into values, apart from any host call or file access.
//
// A line holds up to three whitespace-separated tokens: a keyword of at most
// 80 characters, a second token of at most 80 and a third of at most 200. A
// longer token is cut at its limit and its rest is read as the next token, the
// way the schematic tool's own readers have always taken these lines.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantik {

constexpr std::size_t kKeywordTokenLimit = 80;
constexpr std::size_t kActionTokenLimit = 80;
constexpr std::size_t kNameTokenLimit = 200;

// A line is taken in pieces of at most this many characters, its line feed
// included; a longer line is taken in several pieces, each read as a line.
constexpr std::size_t kReadPieceLimit = 1023;

constexpr std::string_view kTerminateMessageKeyword = "TerminateXprobe";

struct MessageTokens {
    std::string keyword;
    std::string second;
    std::string third;
};

// Up to three tokens; missing ones are empty.
MessageTokens ReadMessageTokens(std::string_view line);

enum class IncomingAction {
    None,            // nothing for the host
    SelectInstance,  // first: the schematic instance name
    HighlightOn,
    HighlightOff,
    UnselectAll,
    SelectPin,       // first: component, second: pin
    SelectNet,       // first: the net name
    SwitchToLayout,
    Terminate,       // the schematic tool ends the link
};

struct IncomingMessage {
    IncomingAction action = IncomingAction::None;
    std::string first;
    std::string second;
    // False ends the reading of the file: after the schematic tool's end, an
    // empty line or a keyword that is not known.
    bool continueReading = false;
};

// Keywords are compared without regard to case; the action letter of the
// second token ("S", "H", "I") is compared with it.
IncomingMessage ParseIncomingLine(std::string_view line);

// The first piece of text as a 1024-byte line buffer takes it: up to and
// including the first line feed, at most kReadPieceLimit characters. Empty
// only for an empty text.
std::string_view NextReadPiece(std::string_view text);

}  // namespace vantik
