#include "platform/core/DetachedLauncher.h"
#include "platform/core/SafeFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

namespace ql {
namespace {

// Waits for a file that another process writes (renamed into place when complete).
std::string WaitForFile(const std::string& path)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!FileExists(path) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return ReadFileBytes(path).value_or("<not written>");
}

TEST(DetachedLauncher, StartsTheProgramAsNoChildOfOursWithItsArgumentsIntact)
{
    test::TempDir dir;
    const std::string out = dir.dir() + "out";
    DetachedLauncher launcher;
    // The script records its arguments and whether its parent is this process.
    ASSERT_TRUE(launcher.Spawn({"sh", "-c", "printf '%s|%s|%s' \"$1\" \"$2\" \"$([ $PPID = $3 ] && echo child || echo adopted)\" > \"$4.tmp\" && mv \"$4.tmp\" \"$4\"",
                                "sh", "a \"quoted\" arg", "$HOME;x", std::to_string(::getpid()), out}));
    EXPECT_EQ(WaitForFile(out), "a \"quoted\" arg|$HOME;x|adopted");

    EXPECT_FALSE(launcher.Spawn({"no-such-program-anywhere"}));
    EXPECT_FALSE(launcher.Spawn({dir.dir() + "missing"}));
    const auto notExecutable = dir.write("plain", "text");
    EXPECT_FALSE(launcher.Spawn({notExecutable.string()}));
    EXPECT_FALSE(launcher.Spawn({}));
}

}  // namespace
}  // namespace ql
