#include "platform/core/SafeFile.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;
using ql::test::TempDir;

namespace {
std::atomic<int> umaskCalls {0};
}

// Every umask call of this test program passes here (and on to the kernel), so a test can see
// whether the code under test changes the process-wide mask that other threads create files with.
extern "C" mode_t umask(mode_t mask) noexcept
{
    ++umaskCalls;
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

TEST(SafeFile, WritesReplacesAndLeavesNoTemporaries)
{
    TempDir t;
    std::string file = t.dir() + "page.html";
    ASSERT_TRUE(ql::WriteFileAtomic(file, "first"));
    ASSERT_TRUE(ql::WriteFileAtomic(file, std::string("se\0cond", 7)));
    EXPECT_EQ(*ql::ReadFileBytes(file), std::string("se\0cond", 7));
    int entries = 0;
    for (auto& e : fs::directory_iterator(t.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(SafeFile, FailedWriteKeepsOldFileAndSaysWhy)
{
    TempDir t;
    std::string file = t.dir() + "tvdata";
    ASSERT_TRUE(ql::WriteFileAtomic(file, "good"));
    std::string error;
    EXPECT_FALSE(ql::WriteFileAtomic(t.dir() + "missing/tvdata", "x", &error));
    EXPECT_FALSE(error.empty());
    if (geteuid() != 0) {  // root ignores folder permissions
        fs::permissions(t.path(), fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
        EXPECT_FALSE(ql::WriteFileAtomic(file, "bad"));
        fs::permissions(t.path(), fs::perms::owner_all, fs::perm_options::replace);
    }
    EXPECT_EQ(*ql::ReadFileBytes(file), "good");
    EXPECT_FALSE(ql::WriteFileAtomic("", "x"));
}

TEST(SafeFile, KeepsModeOfReplacedFile)
{
    TempDir t;
    std::string file = t.dir() + "a";
    ASSERT_TRUE(ql::WriteFileAtomic(file, "1"));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
    ASSERT_TRUE(ql::WriteFileAtomic(file, "2"));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST(SafeFile, NewFilesFollowTheUmaskWithoutChangingIt)
{
    TempDir t;
    mode_t saved = umask(027);
    int before = umaskCalls;
    bool written = ql::WriteFileAtomic(t.dir() + "new", "x");
    int calls = umaskCalls - before;
    umask(saved);
    ASSERT_TRUE(written);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(fs::status(t.dir() + "new").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(SafeFile, ReadRefusesFoldersMissingFilesAndOversize)
{
    TempDir t;
    t.write("big", std::string(100, 'x'));
    EXPECT_FALSE(ql::ReadFileBytes(t.dir() + "nope"));
    EXPECT_FALSE(ql::ReadFileBytes(t.dir()));
    EXPECT_FALSE(ql::ReadFileBytes(t.dir() + "big", 99));
    EXPECT_EQ(ql::ReadFileBytes(t.dir() + "big", 100)->size(), 100u);
    EXPECT_TRUE(ql::FileExists(t.dir() + "big"));
    EXPECT_FALSE(ql::FileExists(t.dir()));
    EXPECT_TRUE(ql::DirectoryExists(t.dir()));
}
