// DirectoryOperation: its text members, the probe for file creation, the
// recorded system error, and MakePath against real directory chains.

#include "tests/support/ScratchDirectory.h"

#include "fsutil/DirectoryOperation.h"
#include "fsutil/PathChecks.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

namespace vantik {
namespace {

using Names = std::vector<std::string>;

std::string MessageOf(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, LANG_USER_DEFAULT, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length != 0 ? std::string(buffer, length) : "";
    LocalFree(buffer);
    return text;
}

TEST(DirectoryOperationText, ConstructorsKeepOrAddTheBackslash) {
    struct Case {
        const char* text;
        const char* fromPlainText;
        const char* fromString;
    };
    const Case cases[] = {
        {"", R"(\)", ""},
        {R"(C:\a)", R"(C:\a\)", R"(C:\a)"},
        {R"(C:\a\)", R"(C:\a\)", R"(C:\a\)"},
        {"rel", R"(rel\)", "rel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const DirectoryOperation fromPlainText(c.text);
        EXPECT_EQ(fromPlainText.path, c.fromPlainText);
        EXPECT_EQ(fromPlainText.failedPath, "");
        EXPECT_EQ(fromPlainText.errorText, "");
        const DirectoryOperation fromString{std::string(c.text)};
        EXPECT_EQ(fromString.path, c.fromString);
    }
    const char* none = nullptr;
    EXPECT_EQ(DirectoryOperation(none).path, R"(\)");
}

TEST(DirectoryOperationText, AddAndRemoveBackslash) {
    struct Case {
        const char* path;
        const char* afterAdd;
        const char* afterRemove;
    };
    const Case cases[] = {
        {"", R"(\)", ""},
        {"a", R"(a\)", "a"},
        {R"(a\)", R"(a\)", "a"},
        {R"(a\\)", R"(a\\)", R"(a\)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DirectoryOperation added{std::string(c.path)};
        added.AddBackslash();
        EXPECT_EQ(added.path, c.afterAdd);
        DirectoryOperation removed{std::string(c.path)};
        removed.RemoveBackslash();
        EXPECT_EQ(removed.path, c.afterRemove);
    }
}

TEST(DirectoryOperationText, AssignmentTakesPathAndForgetsTheError) {
    DirectoryOperation operation(R"(C:\old\)");
    operation.failedPath = R"(C:\old\x)";
    operation.errorText = "failure";
    operation = std::string(R"(C:\new)");
    EXPECT_EQ(operation.path, R"(C:\new)");
    EXPECT_EQ(operation.GetFailedPath(), "");
    EXPECT_EQ(operation.GetErrorText(), "");

    operation.errorText = "kept";
    operation = operation.path;  // assigned to itself
    EXPECT_EQ(operation.path, R"(C:\new)");
    EXPECT_EQ(operation.errorText, "kept");
}

TEST(DirectoryOperationText, EqualsNoCase) {
    const DirectoryOperation operation(R"(C:\Work)");
    EXPECT_TRUE(operation.EqualsNoCase(R"(c:\WORK\)"));
    EXPECT_FALSE(operation.EqualsNoCase(R"(c:\WORK)"));
    EXPECT_FALSE(operation.EqualsNoCase(nullptr));
}

TEST(DirectoryOperationError, SetErrorRecordsSystemMessageOfLastError) {
    DirectoryOperation operation("C:\\");
    SetLastError(ERROR_FILE_NOT_FOUND);
    operation.SetError(R"(C:\where)");
    EXPECT_EQ(operation.GetFailedPath(), R"(C:\where)");
    ASSERT_FALSE(MessageOf(ERROR_FILE_NOT_FOUND).empty());
    EXPECT_EQ(operation.GetErrorText(), MessageOf(ERROR_FILE_NOT_FOUND));

    SetLastError(ERROR_ACCESS_DENIED);
    operation.SetError();
    EXPECT_EQ(operation.failedPath, "");
    EXPECT_EQ(operation.errorText, MessageOf(ERROR_ACCESS_DENIED));

    operation.ClearError();
    EXPECT_EQ(operation.failedPath, "");
    EXPECT_EQ(operation.errorText, "");
}

TEST(DirectoryOperationError, SetErrorNamesCodeWithoutSystemText) {
    const DWORD unknown = 0x20001234;  // customer range: the system has no text for it
    ASSERT_TRUE(MessageOf(unknown).empty());
    DirectoryOperation operation("C:\\");
    SetLastError(unknown);
    operation.SetError("x");
    EXPECT_EQ(operation.errorText, "System error " + std::to_string(unknown));
}

class DirectoryOperationFiles : public ::testing::Test {
protected:
    test::ScratchDirectory scratch;
};

TEST_F(DirectoryOperationFiles, IsDirectory) {
    EXPECT_TRUE(DirectoryOperation(scratch.MakeDirectory("dir").c_str()).IsDirectory());
    EXPECT_FALSE(DirectoryOperation(scratch.MakeFile("file.txt").c_str()).IsDirectory());
    EXPECT_FALSE(DirectoryOperation(scratch.Path("missing").c_str()).IsDirectory());
}

TEST_F(DirectoryOperationFiles, CanCreateFilesInWritableDirectoryLeavesNothing) {
    scratch.MakeDirectory("writable");
    EXPECT_TRUE(DirectoryOperation(scratch.Path("writable").c_str()).CanCreateFiles());
    EXPECT_EQ(scratch.Names("writable"), Names{});
}

TEST_F(DirectoryOperationFiles, CanCreateFilesSkipsTakenProbeNames) {
    scratch.MakeDirectory("taken");
    scratch.MakeFile("taken\\jdfhas0.efs", 5);
    scratch.MakeFile("taken\\jdfhas1.efs", 5);
    EXPECT_TRUE(DirectoryOperation(scratch.Path("taken").c_str()).CanCreateFiles());
    EXPECT_EQ(scratch.Names("taken"), (Names{"jdfhas0.efs", "jdfhas1.efs"}));
    EXPECT_EQ(SizeInBlocks(scratch.Path("taken\\jdfhas0.efs")), 0);
}

TEST_F(DirectoryOperationFiles, CanCreateFilesGivesUpWhenProbeNamesAreAllTaken) {
    scratch.MakeDirectory("crowded");
    for (int number = 0; number < 100; ++number)
        scratch.MakeFile("crowded\\jdfhas" + std::to_string(number) + ".efs");
    EXPECT_FALSE(DirectoryOperation(scratch.Path("crowded").c_str()).CanCreateFiles());
    EXPECT_EQ(scratch.Names("crowded").size(), 100u);
}

TEST_F(DirectoryOperationFiles, CanCreateFilesProbesInsideDirectoryGivenWithoutBackslash) {
    // Every probe name is taken beside the directory, none inside it.
    scratch.MakeDirectory("w");
    for (int number = 0; number < 100; ++number) scratch.MakeFile("wjdfhas" + std::to_string(number) + ".efs");
    EXPECT_TRUE(DirectoryOperation{scratch.Path("w")}.CanCreateFiles());
    EXPECT_EQ(scratch.Names("w"), Names{});
    EXPECT_EQ(scratch.Names().size(), 101u);
}

TEST_F(DirectoryOperationFiles, CanCreateFilesRefusesReadOnlyAndMissingDirectory) {
    ASSERT_TRUE(scratch.MakeReadOnlyDirectory("readonly")) << "cannot take write permission away here";
    EXPECT_FALSE(DirectoryOperation(scratch.Path("readonly").c_str()).CanCreateFiles());
    EXPECT_EQ(scratch.Names("readonly"), Names{});
    EXPECT_FALSE(DirectoryOperation(scratch.Path("missing").c_str()).CanCreateFiles());
    EXPECT_EQ(scratch.Names(), Names{"readonly"});
}

TEST_F(DirectoryOperationFiles, SameSizeAndTime) {
    const std::string original = scratch.MakeFile("original.txt", 100);
    const std::string copy = scratch.Path("copy.txt");
    ASSERT_TRUE(CopyFileA(original.c_str(), copy.c_str(), FALSE));  // keeps the modification time
    const std::string longer = scratch.MakeFile("longer.txt", 101);
    const std::string sameSizeOtherTime = scratch.MakeFile("other.txt", 100);
    {
        HANDLE file = CreateFileA(sameSizeOtherTime.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        FILETIME past{};
        SYSTEMTIME year2001{2001, 1, 1, 1, 12, 0, 0, 0};
        SystemTimeToFileTime(&year2001, &past);
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &past));
        CloseHandle(file);
    }
    struct Case {
        std::string second;
        bool examined;
        bool differs;
    };
    const Case cases[] = {
        {copy, true, false},
        {longer, true, true},
        {sameSizeOtherTime, true, true},
        {scratch.Path("missing.txt"), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.second);
        bool differs = !c.differs;
        EXPECT_EQ(DirectoryOperation::SameSizeAndTime(original.c_str(), c.second.c_str(), differs), c.examined);
        EXPECT_EQ(differs, c.differs);
    }
}

class MakePath : public DirectoryOperationFiles {};

TEST_F(MakePath, ExistingDirectoryGivesAlreadyAndCreatesNothing) {
    scratch.MakeDirectory("existing");
    for (const std::string& path : {scratch.Path("existing"), scratch.Path("existing\\")}) {
        SCOPED_TRACE(path);
        DirectoryOperation operation{path};
        operation.failedPath = "old";
        operation.errorText = "old";
        EXPECT_EQ(operation.MakePath(), DirectoryResult::AlreadyDirectory);
        EXPECT_EQ(operation.failedPath, "");
        EXPECT_EQ(operation.errorText, "");
    }
    EXPECT_EQ(scratch.Names(), Names{"existing"});
    EXPECT_EQ(scratch.Names("existing"), Names{});
}

TEST_F(MakePath, RootOfCurrentDriveFromEmptyText) {
    EXPECT_EQ(DirectoryOperation("").MakePath(), DirectoryResult::AlreadyDirectory);
}

TEST_F(MakePath, RelativeAndDriveRelativePathsAreRefused) {
    for (const char* path : {R"(work\x)", "work", R"(C:dir\x)", ""}) {
        SCOPED_TRACE(path);
        DirectoryOperation operation{std::string(path)};
        EXPECT_EQ(operation.MakePath(), DirectoryResult::NotAnAbsolutePath);
        EXPECT_EQ(operation.errorText, "");
    }
    EXPECT_FALSE(PathExists("work"));
}

TEST_F(MakePath, CreatesMissingChainLevelByLevel) {
    scratch.MakeDirectory("a");
    struct Case {
        std::string path;
        std::vector<std::string> created;
    };
    std::string fromCurrentDrive = scratch.Path(R"(rooted\x)");
    if (fromCurrentDrive[1] == ':') fromCurrentDrive.erase(0, 2);  // \... on the current drive
    const Case cases[] = {
        {scratch.Path(R"(a\b\c)"), {scratch.Path(R"(a\b)"), scratch.Path(R"(a\b\c)")}},
        {scratch.Path(R"(new\deeper\)"), {scratch.Path("new"), scratch.Path(R"(new\deeper)")}},
        {fromCurrentDrive, {scratch.Path("rooted"), scratch.Path(R"(rooted\x)")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DirectoryOperation operation(c.path.c_str());
        EXPECT_EQ(operation.MakePath(), DirectoryResult::Success);
        for (const std::string& level : c.created) EXPECT_TRUE(IsDirectoryPath(level)) << level;
        EXPECT_EQ(operation.failedPath, "");
        EXPECT_EQ(operation.MakePath(), DirectoryResult::AlreadyDirectory);
    }
}

TEST_F(MakePath, FileInTheWayFailsWithWholePathAndSystemText) {
    scratch.MakeFile("blocker", 3);
    const std::string wanted = scratch.Path(R"(blocker\sub\deeper)");
    DirectoryOperation operation{wanted};
    ASSERT_EQ(operation.MakePath(), DirectoryResult::CreateDirectoryFailed);
    EXPECT_EQ(operation.GetFailedPath(), wanted);
    // Windows versions differ in which code they give for a file in the way.
    const std::vector<std::string> expected = {MessageOf(ERROR_ALREADY_EXISTS), MessageOf(ERROR_PATH_NOT_FOUND),
                                               MessageOf(ERROR_FILE_EXISTS), MessageOf(ERROR_DIRECTORY)};
    EXPECT_NE(std::find(expected.begin(), expected.end(), operation.GetErrorText()), expected.end())
        << operation.GetErrorText();
    EXPECT_EQ(scratch.Names(), Names{"blocker"});
    EXPECT_EQ(SizeInBlocks(scratch.Path("blocker")), 0);
}

TEST_F(MakePath, LevelsMadeBeforeAFailureStay) {
    const std::string wanted = scratch.Path(R"(made\also\bad?name\deeper)");
    DirectoryOperation operation{wanted};
    ASSERT_EQ(operation.MakePath(), DirectoryResult::CreateDirectoryFailed);
    EXPECT_EQ(operation.failedPath, wanted);
    EXPECT_FALSE(operation.errorText.empty());
    EXPECT_TRUE(IsDirectoryPath(scratch.Path(R"(made\also)")));
    EXPECT_EQ(scratch.Names(R"(made\also)"), Names{});
}

TEST_F(MakePath, ServerAloneCannotBeMade) {
    DirectoryOperation operation{std::string(R"(\\server)")};
    EXPECT_EQ(operation.MakePath(), DirectoryResult::CreateDirectoryFailed);
    EXPECT_EQ(operation.failedPath, R"(\\server)");
    EXPECT_FALSE(operation.errorText.empty());
}

}  // namespace
}  // namespace vantik
