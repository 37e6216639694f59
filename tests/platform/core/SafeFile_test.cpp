#include "platform/core/SafeFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FlushRecorder.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using ql::test::TempDir;

namespace {
std::atomic<int> umaskCalls{0};
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

// Failures that hold for root too (CI runs as root): a file-size limit stops the write half
// way, a folder where the file should be stops the rename, a file where the folder should be
// stops the temporary. Each time the old bytes stay and no temporary is left.
TEST(SafeFile, FailedWriteKeepsOldFileAndSaysWhy)
{
    TempDir t;
    std::string file = t.dir() + "tvdata";
    ASSERT_TRUE(ql::WriteFileAtomic(file, "good"));
    std::string error;
    EXPECT_FALSE(ql::WriteFileAtomic(t.dir() + "missing/tvdata", "x", &error));
    EXPECT_FALSE(error.empty());

    {
        ql::test::ScopedFileSizeLimit full(3);
        error.clear();
        EXPECT_FALSE(ql::WriteFileAtomic(file, "longer than the limit", &error));
        EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    }
    EXPECT_EQ(*ql::ReadFileBytes(file), "good");

    fs::create_directories(t.path() / "folder/inside");
    EXPECT_FALSE(ql::WriteFileAtomic(t.dir() + "folder", "x"));
    EXPECT_TRUE(fs::exists(t.path() / "folder/inside"));
    EXPECT_FALSE(ql::WriteFileAtomic(t.dir() + "tvdata/below", "x"));
    EXPECT_EQ(*ql::ReadFileBytes(file), "good");

    int entries = 0;
    for (auto& e : fs::directory_iterator(t.path()))
        entries += e.path().filename().string().find(".tmp") != std::string::npos;
    EXPECT_EQ(entries, 0);
    EXPECT_FALSE(ql::WriteFileAtomic("", "x"));
}

// Only the temporaries our writes name, and none a live write holds, are removed.
TEST(SafeFile, StaleTemporariesAreRemovedOthersStay)
{
    TempDir t;
    t.write(".page.html.tmp=A1b2C3", "left by a killed write");
    t.write(".tvdata.tmp=123456", "left by a killed write");
    // A picture may be named after any address, but never with '='.
    const std::vector<std::string> others = {
        "page.html",        ".page.html",         "page.html.tmp=A1b2C3", ".page.html.tmp=A1b2C",
        ".page.tmp=-a1b2c", ".pic.png.tmpA1b2C3", ".dir.tmp=A1b2C3",      ".link.tmp=A1b2C3"};
    for (std::size_t i = 0; i + 2 < others.size(); ++i)
        t.write(others[i], "kept");
    fs::create_directory(t.path() / ".dir.tmp=A1b2C3");
    fs::create_symlink(t.path() / "page.html", t.path() / ".link.tmp=A1b2C3");
    EXPECT_EQ(ql::RemoveStaleTemporaries(t.dir()), 2u);
    EXPECT_FALSE(fs::exists(t.path() / ".page.html.tmp=A1b2C3"));
    EXPECT_FALSE(fs::exists(t.path() / ".tvdata.tmp=123456"));
    for (const auto& other : others)
        EXPECT_TRUE(fs::exists(fs::symlink_status(t.path() / other))) << other;
    EXPECT_EQ(ql::RemoveStaleTemporaries(t.dir() + "absent/"), 0u);

    // What a write leaves when it is stopped half way is such a temporary.
    {
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = saved;
        tiny.rlim_cur = 3;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
        pid_t child = fork();
        if (child == 0) {
            // Killed inside its write, as by a crash: nothing cleans up after it.
            std::signal(SIGXFSZ, [](int) { _exit(9); });
            (void)ql::WriteFileAtomic(t.dir() + "page.html", "longer than the limit");
            _exit(0);
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        ASSERT_GT(child, 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9);
    }
    EXPECT_EQ(ql::RemoveStaleTemporaries(t.dir()), 1u);
    EXPECT_EQ(*ql::ReadFileBytes(t.dir() + "page.html"), "kept");
}

// Durable: the bytes are flushed while still in the temporary (before the rename), and the
// folder after it, so that the new name outlasts a power cut as well.
TEST(SafeFile, FlushesTheTemporaryBeforeTheRenameAndTheFolderAfterIt)
{
    TempDir t;
    const std::string file = t.dir() + "page.html";
    std::vector<std::string> onDisk;  // what the file held at each flush
    ql::test::FlushRecorder flushes(
        [&](const ql::test::Flush&) { onDisk.push_back(ql::ReadFileBytes(file).value_or("-")); });
    ASSERT_TRUE(ql::WriteFileAtomic(file, "new"));
    const auto& f = flushes.flushes();
    ASSERT_EQ(f.size(), 2u);
    EXPECT_FALSE(f[0].folder);
    EXPECT_NE(f[0].path.find("/.page.html.tmp="), std::string::npos) << f[0].path;
    EXPECT_EQ(onDisk[0], "-");
    EXPECT_TRUE(f[1].folder);
    EXPECT_EQ(f[1].path, t.path().string());
    EXPECT_EQ(onDisk[1], "new");
}

// A folder whose flush fails fails the write (the new bytes are in place, but may not outlast a
// power cut); a file system that cannot flush folders at all does not.
TEST(SafeFile, AFolderFlushThatFailsFailsTheWriteUnlessTheFileSystemHasNone)
{
    TempDir t;
    const std::string file = t.dir() + "page.html";
    ql::test::FlushRecorder flushes;
    flushes.FailFolderFlushes(EIO);
    std::string error;
    EXPECT_FALSE(ql::WriteFileAtomic(file, "one", &error));
    EXPECT_NE(error.find("cannot flush the folder"), std::string::npos) << error;
    flushes.FailFolderFlushes(EINVAL);
    EXPECT_TRUE(ql::WriteFileAtomic(file, "two"));
    EXPECT_EQ(*ql::ReadFileBytes(file), "two");
}

// A sweep of stale temporaries while a write is under way leaves that write's temporary: the
// write holds its lock until the rename.
TEST(SafeFile, ASweepDuringAWriteLeavesItsTemporary)
{
    TempDir t;
    std::size_t swept = 99;
    ql::test::FlushRecorder flushes([&](const ql::test::Flush& f) {
        if (!f.folder)
            swept = ql::RemoveStaleTemporaries(t.dir());
    });
    EXPECT_TRUE(ql::WriteFileAtomic(t.dir() + "page.html", std::string(1 << 20, 'x')));
    EXPECT_EQ(swept, 0u);
    EXPECT_EQ(ql::ReadFileBytes(t.dir() + "page.html").value_or("").size(), 1u << 20);
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
