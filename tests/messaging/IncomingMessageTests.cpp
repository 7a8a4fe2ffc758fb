#include "messaging/IncomingMessage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantik {
namespace {

using Action = IncomingAction;

struct LineCase {
    std::string line;
    Action action;
    std::string first;
    std::string second;
    bool continueReading;
};

void ExpectParsed(const LineCase& c) {
    SCOPED_TRACE("line: \"" + c.line + "\"");
    const IncomingMessage message = ParseIncomingLine(c.line);
    EXPECT_EQ(message.action, c.action);
    EXPECT_EQ(message.first, c.first);
    EXPECT_EQ(message.second, c.second);
    EXPECT_EQ(message.continueReading, c.continueReading);
}

TEST(ParseIncomingLine, KnownMessages) {
    const LineCase cases[] = {
        {"instance S U1\n", Action::SelectInstance, "U1", "", true},
        {"instance Select U1\n", Action::SelectInstance, "U1", "", true},
        {"instance H\n", Action::HighlightOn, "", "", true},
        {"instance I U1\n", Action::HighlightOff, "", "", true},
        {"instance X U1\n", Action::UnselectAll, "", "", true},
        {"instance\n", Action::UnselectAll, "", "", true},
        {"pin S U7-A-3\n", Action::SelectPin, "U7", "A-3", true},
        {"pin S -3\n", Action::SelectPin, "", "3", true},
        {"pin H U7-3\n", Action::UnselectAll, "", "", true},
        {"net S GND\n", Action::SelectNet, "GND", "", true},
        {"net U GND\n", Action::UnselectAll, "", "", true},
        {"component S U1\n", Action::None, "", "", true},
        {"viewpoint top\n", Action::None, "", "", true},
        {"unselectall\n", Action::UnselectAll, "", "", true},
        {"SwitchToTW\n", Action::SwitchToLayout, "", "", true},
        {"TerminateXprobe\n", Action::Terminate, "", "", false},
        {"net S GND and more words\n", Action::SelectNet, "GND", "", true},
    };
    for (const LineCase& c : cases) ExpectParsed(c);
}

TEST(ParseIncomingLine, KeywordIgnoresCaseButActionLetterDoesNot) {
    const LineCase cases[] = {
        {"INSTANCE S U1", Action::SelectInstance, "U1", "", true},
        {"instance s U1", Action::UnselectAll, "", "", true},
        {"instance h", Action::UnselectAll, "", "", true},
        {"Pin S U7-3", Action::SelectPin, "U7", "3", true},
        {"pin s U7-3", Action::UnselectAll, "", "", true},
        {"NET s GND", Action::UnselectAll, "", "", true},
        {"terminatexprobe", Action::Terminate, "", "", false},
        {"UNSELECTALL", Action::UnselectAll, "", "", true},
        {"switchtotw", Action::SwitchToLayout, "", "", true},
    };
    for (const LineCase& c : cases) ExpectParsed(c);
}

TEST(ParseIncomingLine, PinWithoutHyphenSelectsNothingAndReadingGoesOn) {
    ExpectParsed({"pin S U7\n", Action::None, "", "", true});
    ExpectParsed({"pin S\n", Action::None, "", "", true});
}

TEST(ParseIncomingLine, EmptyOrUnknownLinesEndTheReading) {
    const LineCase cases[] = {
        {"", Action::None, "", "", false},
        {"\n", Action::None, "", "", false},
        {" \t \r\n", Action::None, "", "", false},
        {"select S U1\n", Action::None, "", "", false},
        {"instances S U1\n", Action::None, "", "", false},
        {"inst S U1\n", Action::None, "", "", false},
    };
    for (const LineCase& c : cases) ExpectParsed(c);
}

TEST(ParseIncomingLine, AnyWhiteSpaceSeparatesTokens) {
    ExpectParsed({"\tinstance\tS\tU1\r\n", Action::SelectInstance, "U1", "", true});
    ExpectParsed({"   net    S \v\f GND", Action::SelectNet, "GND", "", true});
}

TEST(ParseIncomingLine, OverlongActionTokenRunsIntoTheName) {
    // The second token is cut at 80; its 81st character becomes the name.
    ExpectParsed({"instance " + std::string(80, 'S') + "Q U1\n", Action::SelectInstance, "Q", "", true});
    // An overlong keyword is cut too, so it never matches.
    ExpectParsed({std::string(80, 'x') + "instance S U1\n", Action::None, "", "", false});
}

TEST(ReadMessageTokens, TokensAreCutAtTheirLimitsAndCarried) {
    struct Case { const char* label; std::string line; std::string keyword, second, third; };
    const std::string k80(80, 'k');
    const std::string s80(80, 's');
    const std::string t200(200, 't');
    const Case cases[] = {
        {"three short", "a b c", "a", "b", "c"},
        {"missing tokens", "  a  ", "a", "", ""},
        {"keyword cut", k80 + "rest x y", k80, "rest", "x"},
        {"second cut", "a " + s80 + "rest y", "a", s80, "rest"},
        {"third cut, rest dropped", "a b " + t200 + "rest", "a", "b", t200},
        {"keyword of 161 spans two tokens", k80 + k80 + "k", k80, k80, "k"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const MessageTokens tokens = ReadMessageTokens(c.line);
        EXPECT_EQ(tokens.keyword, c.keyword);
        EXPECT_EQ(tokens.second, c.second);
        EXPECT_EQ(tokens.third, c.third);
    }
}

TEST(ParseIncomingLine, InstanceNameKeepsUpTo200Characters) {
    const std::string name(200, 'n');
    ExpectParsed({"instance S " + name + "tail\n", Action::SelectInstance, name, "", true});
}

// All pieces of a text in order, each with the line end it was read with.
std::vector<std::string> SplitIntoReadPieces(std::string_view text) {
    std::vector<std::string> pieces;
    while (!text.empty()) {
        const std::string_view piece = NextReadPiece(text);
        pieces.emplace_back(piece);
        text.remove_prefix(piece.size());
    }
    return pieces;
}

TEST(NextReadPiece, LinesAreTakenAsALineBufferOf1024BytesTakesThem) {
    struct Case { const char* label; std::string text; std::vector<std::string> pieces; };
    const std::string a1500(1500, 'a');
    const Case cases[] = {
        {"empty text", "", {}},
        {"two lines", "instance S U1\nnet S GND\n", {"instance S U1\n", "net S GND\n"}},
        {"last line without line end", "a\nb", {"a\n", "b"}},
        {"empty line kept", "a\n\nb\n", {"a\n", "\n", "b\n"}},
        {"1500 characters", a1500 + "\nx\n",
         {a1500.substr(0, 1023), a1500.substr(1023) + "\n", "x\n"}},
        {"1022 characters and line feed fit", std::string(1022, 'b') + "\n", {std::string(1022, 'b') + "\n"}},
        {"1023 characters leave the line feed alone", std::string(1023, 'c') + "\n",
         {std::string(1023, 'c'), "\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(SplitIntoReadPieces(c.text), c.pieces);
    }
}

TEST(NextReadPiece, SecondPieceOf1500CharacterLineIs477AndTheLineFeed) {
    const std::vector<std::string> pieces = SplitIntoReadPieces(std::string(1500, 'z') + "\n");
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].size(), 1023u);
    EXPECT_EQ(pieces[1].size(), 478u);
    EXPECT_EQ(pieces[1].back(), '\n');
}

}  // namespace
}  // namespace vantik
