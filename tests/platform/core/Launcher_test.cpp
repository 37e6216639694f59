#include "platform/core/Launcher.h"
#include "platform/core/SingleInstance.h"

#include "tests/support/TempDir.h"

#include <chrono>
#include <ctime>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using ql::SystemLauncher;
using ql::test::TempDir;

namespace {

// Polls `done` until it holds or five seconds pass.
bool eventually(const std::function<bool()>& done)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        timespec pause{0, 5 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    return true;
}

std::string readFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Writes every argument followed by '|' to `out`, then "END".
const char* const kRecorder = "for a in \"$@\"; do printf '%s|' \"$a\"; done > \"$OUT.tmp\"; echo END >> \"$OUT.tmp\"; "
                              "mv \"$OUT.tmp\" \"$OUT\"";

int zombieChildren()
{
    int count = 0;
    DIR* d = opendir("/proc");
    while (dirent* e = d ? readdir(d) : nullptr) {
        std::ifstream stat(std::string("/proc/") + e->d_name + "/stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        auto close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        char state;
        int ppid;
        rest >> state >> ppid;
        if (state == 'Z' && ppid == getpid())
            ++count;
    }
    if (d)
        closedir(d);
    return count;
}

TEST(Launcher, PassesArgumentsUnchangedWithoutAShell)
{
    TempDir t;
    fs::path out = t.path() / "args";
    setenv("OUT", out.c_str(), 1);
    SystemLauncher launcher;
    ASSERT_TRUE(launcher.Spawn({"sh", "-c", kRecorder, "sh", "a b", "x;rm -rf y", "\"q\" 'r'", "$HOME", ""}));
    ASSERT_TRUE(eventually([&] { return fs::exists(out); }));
    EXPECT_EQ(readFile(out), "a b|x;rm -rf y|\"q\" 'r'|$HOME||END\n");
    unsetenv("OUT");
}

TEST(Launcher, ReportsWhatCannotStartAndReapsWhatDid)
{
    SystemLauncher launcher;
    EXPECT_FALSE(launcher.Spawn({}));
    EXPECT_FALSE(launcher.Spawn({""}));
    EXPECT_FALSE(launcher.Spawn({"/nonexistent/quillory-helper"}));
    EXPECT_FALSE(launcher.Spawn({"quillory-no-such-program-anywhere"}));
    EXPECT_FALSE(launcher.OpenWithDesktop(""));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(launcher.Spawn({"true"}));
    EXPECT_TRUE(eventually([] { return zombieChildren() == 0; }));
}

TEST(Launcher, OpenWithDesktopHandsTheTargetToXdgOpen)
{
    TempDir t;
    fs::path out = t.path() / "args";
    t.write("bin/xdg-open", std::string("#!/bin/sh\n") + kRecorder + "\n");
    fs::permissions(t.path() / "bin/xdg-open", fs::perms::owner_all);
    std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (t.dir() + "bin:" + oldPath).c_str(), 1);
    setenv("OUT", out.c_str(), 1);
    SystemLauncher launcher;
    ASSERT_TRUE(launcher.OpenWithDesktop("-rf page.html"));
    ASSERT_TRUE(eventually([&] { return fs::exists(out); }));
    EXPECT_EQ(readFile(out), "./-rf page.html|END\n");
    fs::remove(out);
    ASSERT_TRUE(launcher.OpenWithDesktop("https://example.test/a b?x=1&y=\"2\""));
    ASSERT_TRUE(eventually([&] { return fs::exists(out); }));
    EXPECT_EQ(readFile(out), "https://example.test/a b?x=1&y=\"2\"|END\n");
    setenv("PATH", oldPath.c_str(), 1);
    unsetenv("OUT");
}

TEST(Launcher, StartedProgramsDoNotKeepTheSingleInstanceLock)
{
    ql::test::ScopedXdgEnv env;
    TempDir t;
    fs::path out = t.path() / "started";
    {
        ql::SingleInstanceLock lock;
        ASSERT_EQ(lock.state(), ql::SingleInstanceLock::State::Acquired);
        // Lives on after the lock's owner lets go.
        ASSERT_TRUE(SystemLauncher().Spawn({"sh", "-c", "touch \"$0\"; exec sleep 2", out.string()}));
        ASSERT_TRUE(eventually([&] { return fs::exists(out); }));
    }
    EXPECT_EQ(ql::SingleInstanceLock().state(), ql::SingleInstanceLock::State::Acquired);
}

}  // namespace
