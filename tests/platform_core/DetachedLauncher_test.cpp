#include "platform/core/DetachedLauncher.h"
#include "platform/core/SafeFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace ql {
namespace {

TEST(DetachedLauncher, StartsTheProgramAsNoChildOfOursWithItsArgumentsIntact)
{
    test::TempDir dir;
    const std::string out = dir.dir() + "out";
    DetachedLauncher launcher;
    // The script records its arguments and whether its parent is this process.
    ASSERT_TRUE(launcher.Spawn({"sh", "-c", "printf '%s|%s|%s' \"$1\" \"$2\" \"$([ $PPID = $3 ] && echo child || echo adopted)\" > \"$4.tmp\" && mv \"$4.tmp\" \"$4\"",
                                "sh", "a \"quoted\" arg", "$HOME;x", std::to_string(::getpid()), out}));
    EXPECT_EQ(test::WaitForFile(out), "a \"quoted\" arg|$HOME;x|adopted");

    EXPECT_FALSE(launcher.Spawn({"no-such-program-anywhere"}));
    EXPECT_FALSE(launcher.Spawn({dir.dir() + "missing"}));
    const auto notExecutable = dir.write("plain", "text");
    EXPECT_FALSE(launcher.Spawn({notExecutable.string()}));
    EXPECT_FALSE(launcher.Spawn({}));
}

}  // namespace
}  // namespace ql
