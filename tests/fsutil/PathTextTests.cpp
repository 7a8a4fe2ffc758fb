// The text operations of PathString and the plain-buffer separator operations:
// pure, so each is run against a table of paths.

#include "fsutil/PathChecks.h"
#include "fsutil/PathString.h"

#include <gtest/gtest.h>
#include <mbctype.h>

#include <cstring>

namespace vantik {
namespace {

// The text tables assume a single-byte code page; the double-byte rules have
// their own tests.
class SingleByteCodePage : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = _getmbcp();
        ASSERT_EQ(_setmbcp(1252), 0);
    }
    void TearDown() override { _setmbcp(saved_); }

private:
    int saved_ = 0;
};

using PathSplitting = SingleByteCodePage;
using PathComposing = SingleByteCodePage;
using TrailingBackslash = SingleByteCodePage;
using PlainBuffer = SingleByteCodePage;

struct SplitCase {
    const char* path;
    const char* drive;
    const char* directory;
    const char* baseName;
    const char* extension;
};

const SplitCase kSplitCases[] = {
    {".", "", R"(.\)", "", ""},
    {"..", "", R"(..\)", "", ""},
    {"C:file.txt", "C:", "", "file", "txt"},
    {R"(C:\a\b/c.txt)", "C:", R"(\a\)", "b/c", "txt"},
    {R"(\\server\share\a.txt)", R"(\\server)", R"(\share\)", "a", "txt"},
    {R"(\\server)", R"(\\server)", "", "", ""},
    {".profile", "", "", "", "profile"},
    {"readme", "", "", "readme", ""},
    {R"(C:\work\board\top.Quvm_design_viewpoint.attr)", "C:", R"(\work\board\)",
     "top.Quvm_design_viewpoint", "attr"},
    {"a/b/c.txt", "", "a/b/", "c", "txt"},
    {R"(C:\dir.d\file)", "C:", R"(\dir.d\)", "file", ""},
    {"archive.tar.gz", "", "", "archive.tar", "gz"},
    {"name.", "", "", "name", ""},
    {"", "", "", "", ""},
    {R"(..\x.txt)", "", R"(..\)", "x", "txt"},
    {R"(C:\)", "C:", R"(\)", "", ""},
    {R"(dir\)", "", R"(dir\)", "", ""},
    {R"(C:\a\..)", "C:", R"(\a\)", ".", ""},  // only a whole path of dots is special
};

TEST_F(PathSplitting, SplitPathAndGettersAgreeWithTable) {
    for (const SplitCase& c : kSplitCases) {
        SCOPED_TRACE(c.path);
        const PathString path(c.path);
        std::string drive = "junk", directory = "junk", baseName = "junk", extension = "junk";
        path.SplitPath(&drive, &directory, &baseName, &extension);
        EXPECT_EQ(drive, c.drive);
        EXPECT_EQ(directory, c.directory);
        EXPECT_EQ(baseName, c.baseName);
        EXPECT_EQ(extension, c.extension);
        EXPECT_EQ(path.GetDrive(), c.drive);
        EXPECT_EQ(path.GetDirectory(), c.directory);
        EXPECT_EQ(path.GetBaseName(), c.baseName);
        EXPECT_EQ(path.GetExtension(), c.extension);
    }
}

TEST_F(PathSplitting, FillsOnlyRequestedOutputs) {
    const PathString path(R"(C:\a\b.txt)");
    std::string baseName = "junk";
    path.SplitPath(nullptr, nullptr, &baseName, nullptr);
    EXPECT_EQ(baseName, "b");

    std::string directory = "junk", extension = "junk";
    PathString(".").SplitPath(nullptr, &directory, nullptr, &extension);
    EXPECT_EQ(directory, R"(.\)");
    EXPECT_EQ(extension, "");
}

TEST_F(PathSplitting, SetDefaultExtensionOnlyWhenNoneIsPresent) {
    struct Case {
        const char* path;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {"readme", "txt", "readme.txt"},
        {"readme", ".txt", "readme.txt"},
        {"a.doc", "txt", "a.doc"},
        {".profile", "txt", ".profile"},
        {".", "txt", "..txt"},
        {"..", ".txt", "...txt"},
        {R"(C:\dir.d\file)", "txt", R"(C:\dir.d\file.txt)"},
        {"readme", "", "readme"},
        {"readme", nullptr, "readme"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " + " + (c.extension ? c.extension : "(null)"));
        PathString path(c.path);
        path.SetDefaultExtension(c.extension);
        EXPECT_EQ(path.str(), c.expected);
    }
}

TEST_F(PathSplitting, ToBackslashesTurnsEverySlash) {
    PathString path("C:/a/b\\c/");
    path.ToBackslashes();
    EXPECT_EQ(path.str(), R"(C:\a\b\c\)");
}

TEST_F(PathComposing, ComposePathFromParts) {
    struct Case {
        const char* drive;
        const char* directory;
        const char* baseName;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {"C", nullptr, nullptr, nullptr, R"(C:\)"},
        {"C:", R"(\work\)", "a", "txt", R"(C:\work\a.txt)"},
        {"C", "work", "a", ".txt", R"(C:work\a.txt)"},
        {R"(\\server)", R"(\share\)", "a", "txt", R"(\\server\share\a.txt)"},
        {R"(\\server)", nullptr, nullptr, nullptr, R"(\\server\)"},
        {nullptr, nullptr, "a", "txt", "a.txt"},
        {nullptr, nullptr, "a.", "txt", "a.txt"},
        {nullptr, nullptr, nullptr, "txt", ".txt"},
        {nullptr, "dir", nullptr, nullptr, R"(dir\)"},
        {nullptr, nullptr, nullptr, nullptr, ""},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        PathString path("previous contents");
        path.ComposePath(c.drive, c.directory, c.baseName, c.extension);
        EXPECT_EQ(path.str(), c.expected);
    }
}

TEST_F(PathComposing, DirectoryPartAndFileNamePart) {
    struct Case {
        const char* path;
        const char* directoryPart;
        const char* fileNamePart;
    };
    const Case cases[] = {
        {R"(C:\a\b.txt)", R"(C:\a\)", "b.txt"},
        {"C:b.txt", R"(C:\)", "b.txt"},
        {"b.txt", "", "b.txt"},
        {".", R"(.\)", ""},
        {"..", R"(..\)", ""},
        {R"(C:\work\board\top.Quvm_design_viewpoint.attr)", R"(C:\work\board\)",
         "top.Quvm_design_viewpoint.attr"},
        {R"(\\server\share\a.txt)", R"(\\server\share\)", "a.txt"},
        {R"(\\server)", R"(\\server\)", ""},
        {"readme", "", "readme"},
        {".profile", "", ".profile"},
        {"name.", "", "name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const PathString path(c.path);
        EXPECT_EQ(path.DirectoryPart().str(), c.directoryPart);
        EXPECT_EQ(path.FileNamePart().str(), c.fileNamePart);
    }
}

TEST_F(TrailingBackslash, AddAndRemoveOneBackslash) {
    struct Case {
        const char* text;
        const char* afterAdd;
        const char* afterRemove;
    };
    const Case cases[] = {
        {"", "", ""},
        {R"(C:\work)", R"(C:\work\)", R"(C:\work)"},
        {R"(C:\work\)", R"(C:\work\)", R"(C:\work)"},
        {R"(C:\work\\)", R"(C:\work\\)", R"(C:\work\)"},
        {R"(\)", R"(\)", ""},
        {"a/", R"(a/\)", "a/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PathString added(c.text);
        added.AddTrailingBackslash();
        EXPECT_EQ(added.str(), c.afterAdd);
        PathString removed(c.text);
        removed.RemoveTrailingBackslash();
        EXPECT_EQ(removed.str(), c.afterRemove);
    }
}

TEST(PathStringText, EqualsNoCaseMemberAndFreeForm) {
    const PathString path(R"(C:\Work\A.txt)");
    EXPECT_TRUE(path.EqualsNoCase(R"(c:\WORK\a.TXT)"));
    EXPECT_FALSE(path.EqualsNoCase(R"(c:\work\b.txt)"));
    EXPECT_FALSE(path.EqualsNoCase(R"(C:\Work\A.txt\)"));
    EXPECT_FALSE(path.EqualsNoCase(nullptr));
    EXPECT_TRUE(EqualsNoCase(path, R"(C:\WORK\A.TXT)"));
    EXPECT_FALSE(EqualsNoCase(path, "A.txt"));
}

TEST(PathStringText, NullTextGivesEmptyPath) {
    const char* none = nullptr;
    EXPECT_EQ(PathString(none).str(), "");
}

TEST_F(PlainBuffer, LastCharacterSignExtendsSingleBytes) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {nullptr, 0}, {"", 0}, {"a", 'a'}, {R"(C:\)", '\\'}, {"\xE9", -23}, {"ab\xE9", -23}, {"\xE9z", 'z'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(LastCharacter(c.text), c.expected);
    }
}

TEST_F(PlainBuffer, AppendAndStripSeparator) {
    struct Case {
        const char* text;
        char separator;
        const char* afterAppend;
        const char* afterStrip;
    };
    const Case cases[] = {
        {"", '\\', R"(\)", ""},
        {"C:", '\\', R"(C:\)", "C:"},
        {R"(C:\)", '\\', R"(C:\)", "C:"},
        {R"(a\\)", '\\', R"(a\\)", R"(a\)"},
        {"x", '/', "x/", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char buffer[16];
        std::strcpy(buffer, c.text);
        AppendSeparator(buffer, c.separator);
        EXPECT_STREQ(buffer, c.afterAppend);
        std::strcpy(buffer, c.text);
        StripSeparator(buffer, c.separator);
        EXPECT_STREQ(buffer, c.afterStrip);
    }
}

TEST_F(PlainBuffer, BoundedAppendRefusesFullBuffer) {
    char full[3] = {'a', 'b', '\0'};
    EXPECT_FALSE(AppendSeparator(full, sizeof full, '\\'));
    EXPECT_STREQ(full, "ab");

    char room[3] = {'a', '\0', '\0'};
    EXPECT_TRUE(AppendSeparator(room, sizeof room, '\\'));
    EXPECT_STREQ(room, R"(a\)");

    char unterminated[2] = {'a', 'b'};
    EXPECT_FALSE(AppendSeparator(unterminated, sizeof unterminated, '\\'));
    EXPECT_EQ(unterminated[1], 'b');
}

}  // namespace
}  // namespace vantik
