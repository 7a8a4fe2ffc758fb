#include "messaging/SelectionCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantik {
namespace {

// Nine-character names: "N00000001", "N00000002", ...
std::vector<std::string> NineCharacterNames(int count, int first = 1) {
    std::vector<std::string> names;
    for (int i = first; i < first + count; ++i) {
        std::string number = std::to_string(i);
        names.push_back("N" + std::string(8 - number.size(), '0') + number);
    }
    return names;
}

// The names of a command, read back from between its quotes; fails the test
// when the command is not prefix, quoted names separated by ", ", suffix.
std::vector<std::string> NamesIn(const std::string& command, std::string_view prefix) {
    std::vector<std::string> names;
    EXPECT_EQ(command.substr(0, prefix.size()), prefix) << command;
    EXPECT_GE(command.size(), prefix.size() + kCommandSuffix.size()) << command;
    if (command.size() < prefix.size() + kCommandSuffix.size()) return names;
    EXPECT_EQ(command.substr(command.size() - kCommandSuffix.size()), kCommandSuffix) << command;
    std::string body = command.substr(prefix.size(), command.size() - prefix.size() - kCommandSuffix.size());
    std::size_t position = 0;
    while (position < body.size()) {
        if (!names.empty()) {
            EXPECT_EQ(body.substr(position, 2), ", ") << command;
            position += 2;
        }
        EXPECT_EQ(body[position], '"') << command;
        const std::size_t close = body.find('"', position + 1);
        EXPECT_NE(close, std::string::npos) << command;
        if (close == std::string::npos) break;
        names.push_back(body.substr(position + 1, close - position - 1));
        position = close + 1;
    }
    return names;
}

std::vector<std::string> Slice(const std::vector<std::string>& names, std::size_t from, std::size_t count) {
    return std::vector<std::string>(names.begin() + from, names.begin() + from + count);
}

TEST(BuildCommands, ExactTextOfASmallSelection) {
    EXPECT_EQ(BuildCommands(kSelectInstancePrefix, {"U1", "U2"}),
              CommandList{"$ly_sx_action([[@select, @instance, [\"U1\", \"U2\"]]]);"});
    EXPECT_EQ(BuildCommands(kSelectNetPrefix, {"GND"}),
              CommandList{"$ly_sx_action([[@select, @net, [\"GND\"]]]);"});
    EXPECT_EQ(BuildCommands(kUnhighlightInstancePrefix, {"R7"}),
              CommandList{"$ly_sx_action([[@unhighlight, @instance, [\"R7\"]]]);"});
}

TEST(BuildCommands, NoNamesGiveNoCommand) {
    EXPECT_TRUE(BuildCommands(kSelectInstancePrefix, {}).empty());
}

TEST(BuildCommands, HundredNineCharacterNamesSplitAs36And36And28) {
    const std::vector<std::string> names = NineCharacterNames(100);
    const CommandList commands = BuildCommands(kSelectInstancePrefix, names);
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].size(), 508u);  // 503 after the 36th name, then the suffix
    EXPECT_EQ(commands[1].size(), 508u);
    EXPECT_EQ(NamesIn(commands[0], kSelectInstancePrefix), Slice(names, 0, 36));
    EXPECT_EQ(NamesIn(commands[1], kSelectInstancePrefix), Slice(names, 36, 36));
    EXPECT_EQ(NamesIn(commands[2], kSelectInstancePrefix), Slice(names, 72, 28));
}

TEST(BuildCommands, ClosesOnlyWhenStrictlyLongerThan500) {
    // The prefix is 37 bytes, so a lone name of n characters makes 39 + n.
    struct Case { std::size_t firstNameLength; std::size_t expectedCommands; };
    const Case cases[] = {{460, 1}, {461, 1}, {462, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstNameLength);
        const std::vector<std::string> names{std::string(c.firstNameLength, 'a'), "B"};
        const CommandList commands = BuildCommands(kSelectInstancePrefix, names);
        ASSERT_EQ(commands.size(), c.expectedCommands);
        std::vector<std::string> found;
        for (const std::string& command : commands) {
            for (std::string& name : NamesIn(command, kSelectInstancePrefix)) found.push_back(name);
        }
        EXPECT_EQ(found, names);
    }
}

TEST(BuildCommands, LongNameIsNeverSplit) {
    const std::string name(700, 'x');
    const CommandList commands = BuildCommands(kSelectNetPrefix, {name, "GND"});
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], std::string(kSelectNetPrefix) + "\"" + name + "\"" + std::string(kCommandSuffix));
    EXPECT_EQ(NamesIn(commands[1], kSelectNetPrefix), std::vector<std::string>{"GND"});
}

TEST(CommandBuilder, OpenCommandCarriesOverBetweenSourceLists) {
    const std::vector<std::string> first = NineCharacterNames(30, 1);
    const std::vector<std::string> second = NineCharacterNames(30, 31);
    CommandBuilder builder(kSelectInstancePrefix);
    for (const std::string& name : first) builder.AppendName(name);
    EXPECT_TRUE(builder.HasOpenCommand());
    for (const std::string& name : second) builder.AppendName(name);
    const CommandList commands = builder.Finish();

    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(NamesIn(commands[0], kSelectInstancePrefix), NineCharacterNames(36, 1));
    EXPECT_EQ(NamesIn(commands[1], kSelectInstancePrefix), NineCharacterNames(24, 37));
}

TEST(CommandBuilder, FinishEmptiesTheBuilderForTheNextRun) {
    CommandBuilder builder(kHighlightInstancePrefix);
    builder.AppendName("U1");
    EXPECT_EQ(builder.Finish().size(), 1u);
    EXPECT_FALSE(builder.HasOpenCommand());
    EXPECT_TRUE(builder.Finish().empty());
    builder.AppendName("U2");
    EXPECT_EQ(builder.Finish(), CommandList{"$ly_sx_action([[@highlight, @instance, [\"U2\"]]]);"});
}

TEST(CommandBuilder, PinNamesAreInstanceSlashPin) {
    CommandBuilder builder(kSelectPinPrefix);
    builder.OpenCommand();
    builder.AppendPinName("I1", "12");
    builder.AppendPinName("I2", "12");
    builder.EndPin();
    builder.OpenCommand();
    builder.AppendPinName("I3", "");
    builder.EndPin();
    EXPECT_EQ(builder.Finish(),
              CommandList{"$ly_sx_action([[@select, @pin, [\"I1/12\", \"I2/12\", \"I3/\"]]]);"});
}

TEST(CommandBuilder, PinsWithoutInstancesStillYieldOneEmptyCommand) {
    CommandBuilder builder(kSelectPinPrefix);
    for (int pin = 0; pin < 3; ++pin) {
        builder.OpenCommand();
        builder.EndPin();
    }
    EXPECT_EQ(builder.Finish(), CommandList{"$ly_sx_action([[@select, @pin, []]]);"});
}

TEST(CommandBuilder, PinLengthTestComesAfterAllNamesOfThePin) {
    const std::vector<std::string> instances = NineCharacterNames(60);
    CommandBuilder builder(kSelectPinPrefix);
    builder.OpenCommand();
    for (const std::string& instance : instances) builder.AppendPinName(instance, "1");
    EXPECT_TRUE(builder.HasOpenCommand());  // far past 500, but the pin is not done
    builder.EndPin();
    EXPECT_FALSE(builder.HasOpenCommand());
    builder.OpenCommand();
    builder.AppendPinName("I1", "2");
    builder.EndPin();

    const CommandList commands = builder.Finish();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(NamesIn(commands[0], kSelectPinPrefix).size(), 60u);
    EXPECT_EQ(NamesIn(commands[1], kSelectPinPrefix), std::vector<std::string>{"I1/2"});
}

TEST(SplitPinAtLastHyphen, ComponentBeforeTheLastHyphen) {
    struct Case { const char* text; const char* component; const char* pin; };
    const Case cases[] = {
        {"U7-12", "U7", "12"}, {"A-B-3", "A-B", "3"}, {"U7", "", "U7"},
        {"-3", "", "3"},       {"U7-", "U7", ""},     {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const LayoutPin pin = SplitPinAtLastHyphen(c.text);
        EXPECT_EQ(pin.component, c.component);
        EXPECT_EQ(pin.pin, c.pin);
    }
}

TEST(UnsafeNames, NamesThatWouldBreakTheQuotedCommandAreLeftOut) {
    struct Case { const char* name; bool safe; };
    const Case cases[] = {
        {"U1", true},          {"", true},           {"A/B-C 1", true}, {"\\U1", true},
        {"U\"1", false},       {"U1\r", false},      {"U1\n", false},
        {"U1\"]]]);\n$evil(", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsSafeCommandName(c.name), c.safe);
        const CommandList commands = BuildCommands(kSelectInstancePrefix, {"U0", c.name, "U9"});
        ASSERT_EQ(commands.size(), 1u);
        const std::vector<std::string> expected =
            c.safe ? std::vector<std::string>{"U0", c.name, "U9"} : std::vector<std::string>{"U0", "U9"};
        EXPECT_EQ(NamesIn(commands[0], kSelectInstancePrefix), expected);
        EXPECT_EQ(commands[0].find_first_of("\r\n"), std::string::npos);
    }
}

TEST(UnsafeNames, OnlyUnsafeNamesGiveNoCommand) {
    EXPECT_TRUE(BuildCommands(kSelectNetPrefix, {"A\"", "B\n"}).empty());
}

TEST(UnsafeNames, PinNameLeftOutWhenInstanceOrPinIsUnsafe) {
    CommandBuilder builder(kSelectPinPrefix);
    builder.OpenCommand();
    builder.AppendPinName("I\"1", "2");
    builder.AppendPinName("I2", "2\n$x()");
    builder.AppendPinName("I3", "2");
    builder.EndPin();
    EXPECT_EQ(builder.Finish(), CommandList{"$ly_sx_action([[@select, @pin, [\"I3/2\"]]]);"});
}

}  // namespace
}  // namespace vantik
