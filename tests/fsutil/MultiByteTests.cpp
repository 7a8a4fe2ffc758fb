// Paths in a double-byte code page: a character whose second byte is 0x5C
// ("\x95\x5C" in Shift-JIS) is not a backslash for the multibyte-aware
// operations, while DirectoryOperation judges the last byte alone.

#include "fsutil/DirectoryOperation.h"
#include "fsutil/PathChecks.h"
#include "fsutil/PathString.h"

#include <gtest/gtest.h>
#include <mbctype.h>

#include <cstring>

namespace vantik {
namespace {

const std::string kEndsInTrailByte = "C:\\work\\\x95\x5C";  // last character is double-byte

class CodePage : public ::testing::Test {
protected:
    void SetUp() override { saved_ = _getmbcp(); }
    void TearDown() override { _setmbcp(saved_); }
    void Use(int codePage) { ASSERT_EQ(_setmbcp(codePage), 0) << codePage; }

private:
    int saved_ = 0;
};

TEST_F(CodePage, LastCharacterOfDoubleByteText) {
    Use(932);
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"\x95\x5C", static_cast<std::int16_t>(0x955C)},
        {"ab\x95\x5C", static_cast<std::int16_t>(0x955C)},
        {"\x95\x5C" "a", 'a'},
        {"\x95", -107},       // a lone byte counts as itself, even a lead byte
        {"a\x95", -107},      // lead byte cut off by the terminator: no read beyond it
        {"\x95\x5C\\", '\\'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
        EXPECT_EQ(LastCharacter(c.text), c.expected);
    }
}

TEST_F(CodePage, TrailingBackslashOpsSkipSecondByteInDoubleByteCodePage) {
    Use(932);
    PathString added(kEndsInTrailByte);
    added.AddTrailingBackslash();
    EXPECT_EQ(added.str(), kEndsInTrailByte + "\\");

    PathString removed(kEndsInTrailByte);
    removed.RemoveTrailingBackslash();
    EXPECT_EQ(removed.str(), kEndsInTrailByte);

    char buffer[32];
    std::strcpy(buffer, kEndsInTrailByte.c_str());
    AppendSeparator(buffer, '\\');
    EXPECT_EQ(std::string(buffer), kEndsInTrailByte + "\\");
}

TEST_F(CodePage, SameTextEndsInBackslashInSingleByteCodePage) {
    Use(1252);
    PathString added(kEndsInTrailByte);
    added.AddTrailingBackslash();
    EXPECT_EQ(added.str(), kEndsInTrailByte);

    PathString removed(kEndsInTrailByte);
    removed.RemoveTrailingBackslash();
    EXPECT_EQ(removed.str(), "C:\\work\\\x95");
}

TEST_F(CodePage, DirectoryOperationLooksAtLastByteOnly) {
    Use(932);
    DirectoryOperation fromText(kEndsInTrailByte.c_str());
    EXPECT_EQ(fromText.path, kEndsInTrailByte);

    DirectoryOperation operation(kEndsInTrailByte);
    operation.AddBackslash();
    EXPECT_EQ(operation.path, kEndsInTrailByte);
    operation.RemoveBackslash();
    EXPECT_EQ(operation.path, "C:\\work\\\x95");
}

TEST_F(CodePage, SplitPathDoesNotSplitInsideDoubleByteCharacter) {
    Use(932);
    struct Case {
        std::string path;
        std::string drive;
        std::string directory;
        std::string baseName;
        std::string extension;
    };
    const Case cases[] = {
        {"C:\\d\x95\x5Cx.txt", "C:", "\\", "d\x95\x5Cx", "txt"},
        {"d\x95\x5Cx/y.txt", "", "d\x95\x5Cx/", "y", "txt"},  // no real backslash: the slash counts
        {"\\\\srv\x95\x5Cx\\share\\a.txt", "\\\\srv\x95\x5Cx", "\\share\\", "a", "txt"},
        {"\\\\srv\x95\x5C", "\\\\srv\x95\x5C", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.path));
        std::string drive, directory, baseName, extension;
        PathString(c.path).SplitPath(&drive, &directory, &baseName, &extension);
        EXPECT_EQ(drive, c.drive);
        EXPECT_EQ(directory, c.directory);
        EXPECT_EQ(baseName, c.baseName);
        EXPECT_EQ(extension, c.extension);
    }
    EXPECT_EQ(PathString("C:\\d\x95\x5Cx.txt").DirectoryPart().str(), "C:\\");
}

TEST_F(CodePage, SingleByteCodePageSplitsAtTheSameByte) {
    Use(1252);
    std::string directory, baseName;
    PathString("C:\\d\x95\x5Cx.txt").SplitPath(nullptr, &directory, &baseName, nullptr);
    EXPECT_EQ(directory, "\\d\x95\x5C");
    EXPECT_EQ(baseName, "x");
}

}  // namespace
}  // namespace vantik
