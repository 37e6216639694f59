#include "platform/core/SingleInstance.h"
#include "platform/core/RuntimeDir.h"

#include "tests/support/TempDir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using ql::SingleInstanceLock;
using State = SingleInstanceLock::State;

namespace {

// Runs `body` in a child process and gives its exit code.
template <typename F>
int inChild(F body)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

int stateInChild()
{
    return inChild([] { return static_cast<int>(SingleInstanceLock().state()); });
}

TEST(SingleInstance, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    ql::test::ScopedXdgEnv env;
    {
        SingleInstanceLock first;
        ASSERT_EQ(first.state(), State::Acquired);
        EXPECT_FALSE(first.AnotherInstanceRuns());
        EXPECT_EQ(stateInChild(), static_cast<int>(State::HeldElsewhere));
        // Another name is another lock.
        EXPECT_EQ(inChild([] { return static_cast<int>(SingleInstanceLock("other").state()); }),
                  static_cast<int>(State::Acquired));
    }
    EXPECT_EQ(stateInChild(), static_cast<int>(State::Acquired));
}

TEST(SingleInstance, CrashedHolderFreesTheLock)
{
    ql::test::ScopedXdgEnv env;
    int ready[2];
    int hold[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(hold), 0);
    pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        SingleInstanceLock lock;
        char c = lock.state() == State::Acquired ? 'y' : 'n';
        if (write(ready[1], &c, 1) != 1)
            _exit(1);
        read(hold[0], &c, 1);  // until killed
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, 'y');
    {
        SingleInstanceLock second;
        EXPECT_EQ(second.state(), State::HeldElsewhere);
        EXPECT_TRUE(second.AnotherInstanceRuns());
    }
    kill(holder, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    SingleInstanceLock after;
    EXPECT_EQ(after.state(), State::Acquired);
    for (int fd : {ready[0], ready[1], hold[0], hold[1]})
        close(fd);
}

TEST(SingleInstance, NoRuntimeFolderCountsAsNoOtherInstance)
{
    ql::test::ScopedXdgEnv env;
    auto file = env.root().write("not-a-folder", "x");
    setenv("XDG_RUNTIME_DIR", file.c_str(), 1);
    SingleInstanceLock lock;
    EXPECT_EQ(lock.state(), State::Unavailable);
    EXPECT_FALSE(lock.AnotherInstanceRuns());
}

}  // namespace

namespace {

// A runtime folder others may write to, or another user's, is no place for the lock: the lock
// is neither taken nor counted as free, and the reason names the folder.
TEST(SingleInstance, ARuntimeFolderThatIsNotPrivateGivesNoLockAndSaysWhy)
{
    ql::test::ScopedXdgEnv env;
    const auto folder = env.root().path() / "runtime" / "quillory";
    std::filesystem::create_directories(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    SingleInstanceLock open;
    EXPECT_EQ(open.state(), State::Unavailable);
    EXPECT_FALSE(open.AnotherInstanceRuns());
    EXPECT_NE(open.Problem().find(folder.string() + " is open to other users (mode 0777)"), std::string::npos)
        << open.Problem();

    if (::geteuid() != 0)
        return;  // only root can give the folder away
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    SingleInstanceLock others;
    EXPECT_EQ(others.state(), State::Unavailable);
    EXPECT_NE(others.Problem().find(folder.string() + " belongs to another user"), std::string::npos)
        << others.Problem();
}

}  // namespace

namespace {

// A relative XDG_RUNTIME_DIR names another folder from each working folder: two starts from two
// folders would each take a lock of their own and run two zones on one collection. It is no
// runtime folder at all, and both starts meet at the fallback's lock.
TEST(SingleInstance, ARelativeRuntimeFolderIsIgnoredSoStartsFromTwoFoldersShareOneLock)
{
    ql::test::ScopedXdgEnv env;
    const auto root = env.root().path();
    std::filesystem::create_directories(root / "a" / "run");
    std::filesystem::create_directories(root / "b" / "run");
    setenv("XDG_RUNTIME_DIR", "run", 1);
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(root / "a");
    const std::string name = "quillory-test-" + std::to_string(::getpid());
    {
        SingleInstanceLock first(name);
        EXPECT_EQ(first.state(), State::Acquired) << first.Problem();
        EXPECT_EQ(inChild([&] {
                      std::filesystem::current_path(root / "b");
                      return static_cast<int>(SingleInstanceLock(name).state());
                  }),
                  static_cast<int>(State::HeldElsewhere));
    }
    std::filesystem::current_path(cwd);
    EXPECT_FALSE(std::filesystem::exists(root / "a" / "run" / "quillory"));
    const std::string dir = ql::RuntimeDir();
    EXPECT_EQ(dir, "/tmp/quillory-" + std::to_string(::getuid()) + "/");
    std::filesystem::remove(dir + name + ".lock");
}

// The runtime folder is emptied while the lock is held (a cleaner of old files in /tmp): a start
// then would take a lock of its own. Renewed, the holder has its lock file again, and a start
// finds it held; where another process got there first, the renewal says so.
TEST(SingleInstance, ALockFileRemovedFromUnderItsHolderIsTakenAgain)
{
    ql::test::ScopedXdgEnv env;
    const auto folder = env.root().path() / "runtime" / "quillory";
    SingleInstanceLock lock;
    ASSERT_EQ(lock.state(), State::Acquired);
    EXPECT_TRUE(lock.Renew());  // nothing to do
    std::filesystem::remove_all(folder);
    EXPECT_EQ(stateInChild(), static_cast<int>(State::Acquired));  // the hole a renewal closes
    EXPECT_TRUE(lock.Renew());
    EXPECT_EQ(stateInChild(), static_cast<int>(State::HeldElsewhere));

    std::filesystem::remove_all(folder);
    SingleInstanceLock other;  // the start that came first
    ASSERT_EQ(other.state(), State::Acquired);
    EXPECT_FALSE(lock.Renew());
    EXPECT_NE(lock.Problem().find("another Quillory took the single-instance lock"), std::string::npos)
        << lock.Problem();
    EXPECT_EQ(lock.state(), State::Acquired);
}

// The same for the configuration folder, which the program and the capture extension (running
// in the browser's folder) must share: a relative XDG_CONFIG_HOME counts as unset.
TEST(SingleInstance, ARelativeConfigFolderCountsAsUnset)
{
    ql::test::ScopedXdgEnv env;
    const char* home = std::getenv("HOME");
    const std::string oldHome = home ? home : "";
    setenv("HOME", env.root().path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", "config", 1);
    EXPECT_EQ(ql::ConfigDir(), env.root().dir() + ".config/quillory/");
    if (home)
        setenv("HOME", oldHome.c_str(), 1);
    else
        unsetenv("HOME");
}

}  // namespace
