// The free checks against real files and directories made for each test.

#include "tests/support/ScratchDirectory.h"

#include "fsutil/PathChecks.h"
#include "fsutil/PathString.h"

#include <gtest/gtest.h>

namespace vantik {
namespace {

class PathChecks : public ::testing::Test {
protected:
    test::ScratchDirectory scratch;
};

TEST_F(PathChecks, BasicChecksOnFileDirectoryMissingAndReadOnly) {
    const std::string file = scratch.MakeFile("file.txt", 10);
    const std::string directory = scratch.MakeDirectory("dir");
    const std::string missing = scratch.Path("missing.txt");
    const std::string readOnly = scratch.MakeReadOnlyFile("readonly.txt");
    struct Case {
        std::string path;
        bool exists, isDirectory, readable, readWrite;
    };
    const Case cases[] = {
        {file, true, false, true, true},
        {directory, true, true, true, true},
        {directory + "\\", true, true, true, true},
        {missing, false, false, false, false},
        {readOnly, true, false, true, false},
        {"", false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(PathExists(c.path), c.exists);
        EXPECT_EQ(IsDirectoryPath(c.path), c.isDirectory);
        EXPECT_EQ(IsReadablePath(c.path), c.readable);
        EXPECT_EQ(IsReadWritablePath(c.path), c.readWrite);
        const PathString path(c.path);
        EXPECT_EQ(path.Exists(), c.exists);
        EXPECT_EQ(path.IsDirectory(), c.isDirectory);
        EXPECT_EQ(path.IsReadWrite(), c.readWrite);
    }
    const char* none = nullptr;
    EXPECT_FALSE(PathExists(none));
    EXPECT_FALSE(IsDirectoryPath(none));
    EXPECT_FALSE(IsReadWritablePath(none));
}

TEST_F(PathChecks, ExecutableByExactLowerCaseExtensionOfExistingPath) {
    struct Case {
        std::string path;
        bool executable;
    };
    const Case cases[] = {
        {scratch.MakeFile("run.exe"), true},
        {scratch.MakeFile("run.EXE"), false},
        {scratch.MakeFile("tool.bat"), true},
        {scratch.MakeFile("tool.com"), true},
        {scratch.MakeFile("tool.exe.txt"), false},
        {scratch.MakeDirectory("x.exe"), true},  // the name decides, not the kind
        {scratch.MakeFile("noextension"), false},
        {scratch.Path("missing.exe"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(IsExecutablePath(c.path), c.executable);
    }
}

TEST_F(PathChecks, CheckPathCombinations) {
    const std::string file = scratch.MakeFile("file.txt");
    const std::string directory = scratch.MakeDirectory("dir");
    const std::string missing = scratch.Path("missing");
    const std::string readOnly = scratch.MakeReadOnlyFile("readonly.txt");
    const std::string program = scratch.MakeFile("run.exe");
    struct Case {
        std::string path;
        unsigned int flags;
        bool expected;
    };
    const Case cases[] = {
        {missing, 0, true},
        {file, MustExist | MustNotBeDirectory | MustBeReadWrite, true},
        {file, MustExist | MustBeAbsent, false},
        {missing, MustExist | MustBeAbsent, false},
        {missing, MustBeAbsent, true},
        {missing, MustNotBeDirectory, true},
        {missing, MustBeReadable, false},
        {directory, MustBeDirectory | MustExist, true},
        {directory, MustNotBeDirectory, false},
        {file, MustBeDirectory, false},
        {readOnly, MustBeReadable, true},
        {readOnly, MustBeReadable | MustBeReadWrite, false},
        {program, MustExist | MustBeExecutable, true},
        {file, MustBeExecutable, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " flags " + std::to_string(c.flags));
        EXPECT_EQ(CheckPath(c.path, c.flags), c.expected);
    }
}

TEST_F(PathChecks, SizeInBlocksAndIsEmptyFile) {
    struct Case {
        std::string path;
        long long blocks;
        bool empty;
    };
    const Case cases[] = {
        {scratch.MakeFile("empty.txt", 0), 0, true},
        {scratch.MakeFile("small.txt", 1023), 1, false},
        {scratch.MakeFile("exact.txt", 1024), 2, false},
        {scratch.MakeFile("few.txt", 511), 0, false},
        {scratch.Path("missing.txt"), -1, false},
        {"", -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(SizeInBlocks(c.path), c.blocks);
        EXPECT_EQ(IsEmptyFile(c.path), c.empty);
    }
    const char* none = nullptr;
    EXPECT_EQ(SizeInBlocks(none), -1);
    EXPECT_FALSE(IsEmptyFile(none));
}

TEST_F(PathChecks, OverlongPathsAnswerFailureWithoutOverflow) {
    const std::string overlong = scratch.Root() + std::string(2000, 'a') + ".txt";
    EXPECT_FALSE(PathExists(overlong));
    EXPECT_FALSE(IsDirectoryPath(overlong));
    EXPECT_EQ(SizeInBlocks(overlong), -1);
    EXPECT_FALSE(IsEmptyFile(overlong));
    EXPECT_FALSE(IsExecutablePath(overlong));
}

}  // namespace
}  // namespace vantik
