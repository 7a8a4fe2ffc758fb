#include "coordination/ExchangeDirectory.h"

#include "tests/support/TestFiles.h"
#include "tests/support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <io.h>

#include <optional>
#include <vector>

namespace vantik {
namespace {

constexpr const char* kVariables[] = {"TLK_SX_XPROBE_DIR", "TMPDIR", "TEMP", "TMP"};

std::optional<std::string> GetVariable(const char* name) {
    char buffer[32768];
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string(buffer, length);
}

// Works in a directory of its own per test, with the four variables unset at
// the start and restored at the end. The location starts out filled with
// leftovers, as after an earlier link, so that clearing is visible.
class ExchangeDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kVariables) saved.emplace_back(name, GetVariable(name));
        for (const char* name : kVariables) Unset(name);
        root = scratch.Root().substr(0, scratch.Root().size() - 1);
        location = ExchangeLocation{"X:\\old\\", "X:\\old\\sx_to_ly_pipe", "X:\\old\\ly_to_sx_pipe", true};
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            ::SetEnvironmentVariableA(name, value ? value->c_str() : nullptr);
        }
    }

    static void Set(const char* name, const std::string& value) {
        ASSERT_TRUE(::SetEnvironmentVariableA(name, value.c_str()));
    }
    static void Unset(const char* name) { ::SetEnvironmentVariableA(name, nullptr); }

    std::string MakeDirectory(const std::string& name) const { return scratch.MakeDirectory(name); }
    std::string MakeFile(const std::string& name) const { return scratch.MakeFile(name, 1); }

    bool Resolve(const std::string& designDirectory, bool preferLocalExchange) {
        return ResolveExchangeDirectory(designDirectory, preferLocalExchange, location);
    }

    void ExpectResolvedTo(const std::string& directory, bool local) const {
        EXPECT_EQ(location.exchangeDirectory, directory);
        EXPECT_EQ(location.inFilePath, directory + "sx_to_ly_pipe");
        EXPECT_EQ(location.outFilePath, directory + "ly_to_sx_pipe");
        EXPECT_EQ(location.exchangeIsLocal, local);
    }
    void ExpectCleared() const {
        EXPECT_EQ(location.exchangeDirectory, "");
        EXPECT_EQ(location.inFilePath, "");
        EXPECT_EQ(location.outFilePath, "");
        EXPECT_FALSE(location.exchangeIsLocal);
    }

    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    test::ScratchDirectory scratch;
    std::string root;
    ExchangeLocation location;
};

struct DesignRuleCase {
    const char* name;
    const char* variable;  // nullptr: unset
    bool preferLocal;
    const char* designSuffix;
};

TEST_F(ExchangeDirectoryTest, DesignRuleUsesTheDesignDirectoryItself) {
    const std::string design = MakeDirectory("board");
    MakeDirectory("temp");
    const DesignRuleCase cases[] = {
        {"unset, design preferred", nullptr, false, ""},
        {"unset, design preferred, trailing backslash", nullptr, false, "\\"},
        {"-design overrides a local preference", "-design", true, ""},
    };
    for (const DesignRuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.variable != nullptr) Set("TLK_SX_XPROBE_DIR", c.variable); else Unset("TLK_SX_XPROBE_DIR");
        Set("TEMP", root + "\\temp");
        ASSERT_TRUE(Resolve(design + c.designSuffix, c.preferLocal));
        ExpectResolvedTo(design + "\\", false);
    }
    EXPECT_FALSE(test::FileExists(root + "\\temp\\sx_xprobe"));
}

TEST_F(ExchangeDirectoryTest, DesignRuleFailsForAnythingButAnExistingDirectory) {
    const std::string file = MakeFile("board.txt");
    const std::string missing = root + "\\missing";
    for (const std::string& design : {missing, file, std::string()}) {
        SCOPED_TRACE(design);
        ASSERT_FALSE(Resolve(design, false));
        ExpectCleared();
    }
    EXPECT_FALSE(test::FileExists(missing));
}

TEST_F(ExchangeDirectoryTest, LocalRuleMakesEachLevelUnderTheTemporaryDirectory) {
    MakeDirectory("temp");
    Set("TEMP", test::WithSlashes(root) + "/temp");  // as users write it
    ASSERT_TRUE(Resolve("C:\\work\\board", true));
    ExpectResolvedTo(root + "\\temp\\sx_xprobe\\board\\", true);
    EXPECT_TRUE(test::IsDirectory(root + "\\temp\\sx_xprobe\\board"));

    // Once made, the same directory is used again.
    Set("TLK_SX_XPROBE_DIR", "-local");
    ASSERT_TRUE(Resolve("C:\\work\\board\\", false));
    ExpectResolvedTo(root + "\\temp\\sx_xprobe\\board\\", true);
}

TEST_F(ExchangeDirectoryTest, LocalRuleTakesOnlyTheLastDesignComponent) {
    Set("TLK_SX_XPROBE_DIR", "-local");
    Set("TMPDIR", root);
    ASSERT_TRUE(Resolve("C:\\a\\board", false));
    ExpectResolvedTo(root + "\\sx_xprobe\\board\\", true);
    ASSERT_TRUE(Resolve("D:\\b\\board", false));
    ExpectResolvedTo(root + "\\sx_xprobe\\board\\", true);

    for (const char* driveRoot : {"C:\\", "C:"}) {
        SCOPED_TRACE(driveRoot);
        ASSERT_TRUE(Resolve(driveRoot, false));
        ExpectResolvedTo(root + "\\sx_xprobe\\", true);
    }
}

TEST(LastDesignComponent, TextAfterTheLastSeparator) {
    struct Case { const char* design; const char* component; };
    const Case cases[] = {
        {"C:\\a\\board", "board"}, {"D:\\b\\board\\", "board"}, {"C:\\", ""},    {"C:", ""},
        {"board", "board"},        {"C:/work/board", "board"},  {"C:board", "board"},
        {"\\\\server\\share\\run", "run"}, {"C:\\a\\board\\\\", ""}, {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.design);
        EXPECT_EQ(LastDesignComponent(c.design), c.component);
    }
}

TEST_F(ExchangeDirectoryTest, LocalRuleFailsWhenItsDirectoryCannotBeMade) {
    MakeDirectory("temp");
    MakeFile("temp\\sx_xprobe");  // a file where a level should be
    Set("TEMP", root + "\\temp");
    ASSERT_FALSE(Resolve("C:\\work\\board", true));
    ExpectCleared();
}

TEST_F(ExchangeDirectoryTest, TemporaryDirectoryPassesOverUnusableCandidates) {
    const std::string file = MakeFile("a_file");
    const std::string missing = root + "\\missing";
    ASSERT_TRUE(scratch.MakeReadOnlyDirectory("readonly"));
    const std::string readOnly = scratch.Path("readonly");
    ASSERT_NE(_access(readOnly.c_str(), 6), 0) << "the directory is not reported read-only";
    const std::string usable = test::WithSlashes(MakeDirectory("usable")) + "/";

    std::string directory = "left over";
    for (const std::string& unusable : {file, missing, readOnly}) {
        SCOPED_TRACE(unusable);
        Set("TMPDIR", unusable);
        Set("TEMP", usable);
        ASSERT_TRUE(FindTemporaryDirectory(directory));
        EXPECT_EQ(directory, usable);  // unchanged: no separator converted or added
    }

    Set("TEMP", missing);
    Set("TMP", usable);
    ASSERT_TRUE(FindTemporaryDirectory(directory));
    EXPECT_EQ(directory, usable);

    // The first usable one wins.
    Set("TMPDIR", root);
    ASSERT_TRUE(FindTemporaryDirectory(directory));
    EXPECT_EQ(directory, root);

    // Nothing usable in the variables: the drive root, which the prefix's C: is.
    Set("TMPDIR", file);
    Set("TMP", readOnly);
    ASSERT_TRUE(FindTemporaryDirectory(directory));
    EXPECT_EQ(directory, "C:\\");
}

TEST_F(ExchangeDirectoryTest, ExplicitPathIsMadeWithBackslashes) {
    Set("TLK_SX_XPROBE_DIR", test::WithSlashes(root) + "/xprobe/run1");
    ASSERT_TRUE(Resolve("C:\\work\\board", true));
    ExpectResolvedTo(root + "\\xprobe\\run1\\", false);
    EXPECT_TRUE(test::IsDirectory(root + "\\xprobe\\run1"));

    // Already there, given with its trailing separator.
    Set("TLK_SX_XPROBE_DIR", test::WithSlashes(root) + "/xprobe/run1/");
    ASSERT_TRUE(Resolve("", false));
    ExpectResolvedTo(root + "\\xprobe\\run1\\", false);
}

TEST_F(ExchangeDirectoryTest, ExplicitPathThatCannotBeMadeFails) {
    MakeDirectory("temp");
    Set("TEMP", root + "\\temp");
    const std::string blocked = MakeFile("blocked") + "\\run1";
    // Near-spellings of the rules are paths like any other, and relative ones
    // are refused.
    for (const std::string& value : {std::string("relative\\run1"), std::string("-LOCAL"),
                                     std::string("-local "), std::string("-Design"), blocked}) {
        SCOPED_TRACE(value);
        Set("TLK_SX_XPROBE_DIR", value);
        ASSERT_FALSE(Resolve(root + "\\temp", true));
        ExpectCleared();
    }
    EXPECT_FALSE(test::FileExists("relative"));
    EXPECT_FALSE(test::FileExists("-LOCAL"));
    EXPECT_FALSE(test::FileExists(root + "\\temp\\sx_xprobe"));
}

TEST_F(ExchangeDirectoryTest, EmptyValueNamesTheExchangeFilesWithoutDirectory) {
    Set("TLK_SX_XPROBE_DIR", "");
    ASSERT_TRUE(Resolve("C:\\work\\board", true));
    ExpectResolvedTo("", false);
    EXPECT_EQ(location.inFilePath, "sx_to_ly_pipe");
}

TEST_F(ExchangeDirectoryTest, SuccessAfterFailureFillsTheLocationAgain) {
    const std::string design = MakeDirectory("board");
    ASSERT_FALSE(Resolve(root + "\\missing", false));
    ExpectCleared();
    ASSERT_TRUE(Resolve(design, false));
    ExpectResolvedTo(design + "\\", false);
}

TEST_F(ExchangeDirectoryTest, RuleFunctionsLeaveTheDirectoryAloneOnFailure) {
    std::string exchangeDirectory = "kept";
    EXPECT_FALSE(UseDesignDirectory(root + "\\missing", exchangeDirectory));
    EXPECT_EQ(exchangeDirectory, "kept");
    ASSERT_TRUE(UseDesignDirectory(root, exchangeDirectory));
    EXPECT_EQ(exchangeDirectory, root + "\\");

    MakeFile("sx_xprobe");
    Set("TMPDIR", root);
    exchangeDirectory = "kept";
    EXPECT_FALSE(UseLocalDirectory("C:\\work\\board", exchangeDirectory));
    EXPECT_EQ(exchangeDirectory, "kept");
}

}  // namespace
}  // namespace vantik
