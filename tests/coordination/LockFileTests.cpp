#include "coordination/LockFile.h"

#include "tests/support/TestFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDirectory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

namespace vantik {
namespace {

using test::ChildProcess;

constexpr DWORD kChildTimeout = 30000;

std::int32_t OwnProcessId() { return static_cast<std::int32_t>(::GetCurrentProcessId()); }

// A directory of its own per test, named as link start passes it: with a
// trailing backslash, so the lock path holds two in a row.
class LockFileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        liveChild = std::make_unique<ChildProcess>("sleep 600");
        endedChild = std::make_unique<ChildProcess>("exit 0");
        ASSERT_TRUE(liveChild->Started());
        ASSERT_TRUE(endedChild->WaitForExit(kChildTimeout));
    }
    static void TearDownTestSuite() {
        liveChild.reset();
        endedChild.reset();
    }

    void SetUp() override {
        exchangeDirectory = scratch.Root();
        directory = exchangeDirectory.substr(0, exchangeDirectory.size() - 1);
    }

    std::string LockPath() const { return directory + "\\sx_ly.lock"; }
    std::string BackupPath() const { return directory + "\\sx_ly.bck"; }

    // {self}, {live} and {ended} stand for this process and the two children.
    static std::string WithIds(const std::string& text) {
        std::string expanded = test::Expand(text, "{self}", std::to_string(OwnProcessId()));
        expanded = test::Expand(expanded, "{live}", std::to_string(liveChild->Id()));
        return test::Expand(expanded, "{ended}", std::to_string(endedChild->Id()));
    }

    // A child that holds the file with share mode 0; returns once it holds it.
    std::unique_ptr<ChildProcess> HoldExclusively(const std::string& path, int seconds) const {
        const std::string marker = directory + "\\held.marker";
        auto holder = std::make_unique<ChildProcess>("hold \"" + path + "\" " + std::to_string(seconds) +
                                                     " \"" + marker + "\"");
        EXPECT_TRUE(holder->Started());
        EXPECT_TRUE(test::WaitForPath(marker, kChildTimeout)) << "the child never held " << path;
        return holder;
    }

    static std::unique_ptr<ChildProcess> liveChild;
    static std::unique_ptr<ChildProcess> endedChild;
    test::ScratchDirectory scratch;
    std::string directory;
    std::string exchangeDirectory;
};

std::unique_ptr<ChildProcess> LockFileTest::liveChild;
std::unique_ptr<ChildProcess> LockFileTest::endedChild;

TEST(LockFilePaths, AlwaysAddBackslashBeforeTheName) {
    EXPECT_EQ(LockFilePath("C:\\x\\"), "C:\\x\\\\sx_ly.lock");
    EXPECT_EQ(LockFilePath("C:\\x"), "C:\\x\\sx_ly.lock");
    EXPECT_EQ(LockFilePath(""), "\\sx_ly.lock");
    EXPECT_EQ(LockBackupPath("C:\\x\\"), "C:\\x\\\\sx_ly.bck");
    EXPECT_EQ(LockBackupPath(""), "\\sx_ly.bck");
}

TEST_F(LockFileTest, ProcessLivenessFromRealProcesses) {
    EXPECT_TRUE(IsProcessAlive(OwnProcessId()));
    EXPECT_TRUE(IsProcessAlive(static_cast<std::int32_t>(liveChild->Id())));
    EXPECT_FALSE(IsProcessAlive(static_cast<std::int32_t>(endedChild->Id())));
    EXPECT_FALSE(IsProcessAlive(0));
    EXPECT_FALSE(IsProcessAlive(-1));

    // An exit code equal to STILL_ACTIVE must not make an ended process look alive.
    ChildProcess endedWith259("exit 259");
    ASSERT_TRUE(endedWith259.WaitForExit(kChildTimeout));
    ASSERT_EQ(endedWith259.ExitCode(), 259u);
    EXPECT_FALSE(IsProcessAlive(static_cast<std::int32_t>(endedWith259.Id())));
}

struct RegistrationCase {
    const char* name;
    const char* before;  // nullptr: no lock file
    int expected;
    const char* after;   // nullptr: unchanged
};

TEST_F(LockFileTest, RegistersAgainstRealProcesses) {
    const RegistrationCase cases[] = {
        {"no lock file", nullptr, 0, "Routana {self}\r\n"},
        {"empty lock file", "", 0, "Routana {self}\r\n"},
        {"own entry, then a live conflict", "Routana {self}\r\nroutana {live}\r\n", 0, nullptr},
        {"live other process in lower case", "routana {live}\r\n", 1, nullptr},
        {"live other process before own entry", "Routana {live}\r\nRoutana {self}\r\n", 1, nullptr},
        {"ended other process", "Routana {ended}\r\n", 0, "Routana {ended}\r\nRoutana {self}\r\n"},
        {"only SX entries", "SX {live} pcb_design_vpt\r\nSX {ended} board_vpt\r\n", 0,
         "SX {live} pcb_design_vpt\r\nSX {ended} board_vpt\r\nRoutana {self}\r\n"},
        {"default viewpoint, then a live third tool", "SX {ended} pcb_design_vpt\r\nQuill {live}\r\n", 2, nullptr},
        {"live third tool, then default viewpoint", "Quill {live}\r\nSX {ended} pcb_design_vpt\r\n", 0,
         "Quill {live}\r\nSX {ended} pcb_design_vpt\r\nRoutana {self}\r\n"},
        {"other viewpoint, then a live third tool", "SX {live} board_vpt\r\nQuill {live}\r\n", 0,
         "SX {live} board_vpt\r\nQuill {live}\r\nRoutana {self}\r\n"},
        {"final live line without line end", "Routana {live}", 1, nullptr},
        // Appending straight after the last digit would glue both entries into one.
        {"final ended line without line end", "Routana {ended}", 0, "Routana {ended}\r\nRoutana {self}\r\n"},
        {"entry spread over lines", "  Routana\t\r\n\r\n{live}  ", 1, nullptr},
        {"malformed pid, then a live entry", "Routana x{live}\r\nRoutana {live}\r\n", 1, nullptr},
        {"SX without viewpoint, then a live entry", "SX {ended}\r\nRoutana {live}\r\n", 1, nullptr},
    };
    for (const RegistrationCase& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(LockPath().c_str());
        if (c.before != nullptr) {
            ASSERT_TRUE(test::WriteBytes(LockPath(), WithIds(c.before)));
        }
        EXPECT_EQ(RegisterLockEntry(kLayoutToolToken, OwnProcessId(), exchangeDirectory), c.expected);
        EXPECT_EQ(test::ReadBytes(LockPath()), WithIds(c.after != nullptr ? c.after : c.before));
    }
}

struct RemovalCase {
    const char* name;
    const char* lockBefore;    // nullptr: no lock file
    const char* backupBefore;  // nullptr: no backup
    const char* lockAfter;
};

TEST_F(LockFileTest, RemovesEveryEntryOfTheProcess) {
    const RemovalCase cases[] = {
        {"pid on two lines", "SX 4120 pcb_design_vpt\r\nRoutana 777\r\nRoutana 3376\r\nQuill 777\r\nSX 4121 board_vpt\r\n",
         nullptr, "SX 4120 pcb_design_vpt\r\nRoutana 3376\r\nSX 4121 board_vpt\r\n"},
        {"stale backup is replaced first", "Routana 777\r\nRoutana 3376\r\n", "Routana 1111\r\n", "Routana 3376\r\n"},
        {"pid not in the file, last line without line end", "SX 4120 pcb_design_vpt\r\nRoutana 3376", nullptr,
         "SX 4120 pcb_design_vpt\r\nRoutana 3376\r\n"},
        {"empty lock file", "", nullptr, ""},
        {"malformed content goes, entries stay", "Routana abc\r\nRoutana 3376\r\nSX 4120\r\nQuill 777\r\n", nullptr,
         "Routana 3376\r\nSX 4120\r\n"},
        {"no lock file, old backup", nullptr, "Routana 777\r\nSX 4120 pcb_design_vpt\r\nRoutana 3376\r\n",
         "SX 4120 pcb_design_vpt\r\nRoutana 3376\r\n"},
    };
    for (const RemovalCase& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(LockPath().c_str());
        ::DeleteFileA(BackupPath().c_str());
        if (c.lockBefore != nullptr) {
            ASSERT_TRUE(test::WriteBytes(LockPath(), c.lockBefore));
        }
        if (c.backupBefore != nullptr) {
            ASSERT_TRUE(test::WriteBytes(BackupPath(), c.backupBefore));
        }
        EXPECT_TRUE(RemoveLockEntry(777, exchangeDirectory));
        EXPECT_EQ(test::ReadBytes(LockPath()), c.lockAfter);
        EXPECT_EQ(test::ReadBytes(BackupPath()), c.lockBefore != nullptr ? c.lockBefore : c.backupBefore);
    }
}

TEST_F(LockFileTest, RegisterThenRemoveLeavesOthersInPlace) {
    ASSERT_TRUE(test::WriteBytes(LockPath(), WithIds("SX {live} board_vpt\r\nRoutana {ended}\r\n")));
    ASSERT_EQ(RegisterLockEntry(kLayoutToolToken, OwnProcessId(), exchangeDirectory), 0);
    EXPECT_TRUE(RemoveLockEntry(OwnProcessId(), exchangeDirectory));
    EXPECT_EQ(test::ReadBytes(LockPath()), WithIds("SX {live} board_vpt\r\nRoutana {ended}\r\n"));
}

TEST_F(LockFileTest, OpenWithRetryOpensAtOnceWhenItCan) {
    ASSERT_TRUE(test::WriteBytes(LockPath(), "Routana 1\r\n"));
    UniqueFile file = OpenWithRetry(LockPath(), "r");
    ASSERT_NE(file, nullptr);
    char token[16] = {};
    EXPECT_EQ(std::fscanf(file.get(), "%15s", token), 1);
    EXPECT_STREQ(token, "Routana");
}

// The tests below wait out the ten-second retry time, or part of it.

TEST_F(LockFileTest, RemovalWithoutLockOrBackupFailsAndCreatesNothing) {
    EXPECT_FALSE(RemoveLockEntry(777, exchangeDirectory));
    EXPECT_FALSE(test::FileExists(LockPath()));
    EXPECT_FALSE(test::FileExists(BackupPath()));
}

TEST_F(LockFileTest, RegistrationWaitsForAShortExclusiveHold) {
    const std::string before = WithIds("SX {live} board_vpt\r\nRoutana {ended}\r\n");
    ASSERT_TRUE(test::WriteBytes(LockPath(), before));
    auto holder = HoldExclusively(LockPath(), 3);
    EXPECT_EQ(RegisterLockEntry(kLayoutToolToken, OwnProcessId(), exchangeDirectory), 0);
    ASSERT_TRUE(holder->WaitForExit(kChildTimeout));
    EXPECT_EQ(holder->ExitCode(), 0u);
    EXPECT_EQ(test::ReadBytes(LockPath()), before + WithIds("Routana {self}\r\n"));
}

TEST_F(LockFileTest, RegistrationRefusedWhenTheLockFileStaysUnreadable) {
    const std::string before = WithIds("Routana {ended}\r\n");
    ASSERT_TRUE(test::WriteBytes(LockPath(), before));
    auto holder = HoldExclusively(LockPath(), 12);
    EXPECT_EQ(RegisterLockEntry(kLayoutToolToken, OwnProcessId(), exchangeDirectory), 3);
    ASSERT_TRUE(holder->WaitForExit(kChildTimeout));
    EXPECT_EQ(test::ReadBytes(LockPath()), before);
}

TEST_F(LockFileTest, RemovalWaitsForAShortHoldInsteadOfUsingAStaleBackup) {
    ASSERT_TRUE(test::WriteBytes(LockPath(), "Routana 777\r\nRoutana 3376\r\n"));
    ASSERT_TRUE(test::WriteBytes(BackupPath(), "Routana 1111\r\n"));
    auto holder = HoldExclusively(LockPath(), 3);
    EXPECT_TRUE(RemoveLockEntry(777, exchangeDirectory));
    ASSERT_TRUE(holder->WaitForExit(kChildTimeout));
    EXPECT_EQ(test::ReadBytes(LockPath()), "Routana 3376\r\n");
}

TEST_F(LockFileTest, FailedRemovalLeavesTheLockFileAsItWas) {
    const std::string before = "SX 4120 pcb_design_vpt\r\nRoutana 777\r\nRoutana 3376\r\n";
    ASSERT_TRUE(test::WriteBytes(LockPath(), before));
    ASSERT_TRUE(test::WriteBytes(BackupPath(), "Routana 1111\r\n"));
    auto holder = HoldExclusively(BackupPath(), 12);
    EXPECT_FALSE(RemoveLockEntry(777, exchangeDirectory));
    ASSERT_TRUE(holder->WaitForExit(kChildTimeout));
    EXPECT_EQ(test::ReadBytes(LockPath()), before);
}

}  // namespace
}  // namespace vantik
