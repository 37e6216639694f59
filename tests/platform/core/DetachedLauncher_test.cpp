#include "platform/core/DetachedLauncher.h"
#include "platform/core/SafeFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <unistd.h>

namespace ql {
namespace {

TEST(DetachedLauncher, StartsTheProgramAsNoChildOfOursWithItsArgumentsIntact)
{
    test::TempDir dir;
    const std::string out = dir.dir() + "out";
    DetachedLauncher launcher;
    // The script records its arguments and whether its parent is this process.
    ASSERT_TRUE(launcher.Spawn(
        {"sh", "-c",
         "printf '%s|%s|%s' \"$1\" \"$2\" \"$([ $PPID = $3 ] && echo child || echo adopted)\" > \"$4.tmp\" && mv \"$4.tmp\" \"$4\"",
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

namespace ql {
namespace {

// A host's descriptors (its output streams, files and sockets it never marked close-on-exec)
// stay with the host: the started program has /dev/null for 0, 1 and 2 and nothing else.
TEST(DetachedLauncher, TheProgramHoldsNoneOfItsStartersDescriptors)
{
    test::TempDir dir;
    const std::string out = dir.dir() + "fds";
    int leak[2];
    ASSERT_EQ(::pipe(leak), 0);  // inheritable, as a host program's descriptors may be
    DetachedLauncher launcher;
    // The shell's own descriptors, listed by a child of it (whose output goes to the file).
    ASSERT_TRUE(launcher.Spawn({"sh", "-c", "ls -l /proc/$$/fd > \"$1.tmp\" && mv \"$1.tmp\" \"$1\"", "sh", out}));
    const std::string listing = test::WaitForFile(out);
    ::close(leak[0]);
    ::close(leak[1]);
    std::map<std::string, std::string> fds;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        const auto arrow = line.find(" -> ");
        if (arrow == std::string::npos)
            continue;
        const auto name = line.rfind(' ', arrow - 1);
        fds[line.substr(name + 1, arrow - name - 1)] = line.substr(arrow + 4);
    }
    // The shell keeps its own output (our /dev/null) under another number while the listing
    // goes to the file.
    int nulls = 0;
    for (const auto& [fd, target] : fds) {
        EXPECT_TRUE(target == "/dev/null" || target == out + ".tmp") << fd << " -> " << target;
        nulls += target == "/dev/null";
    }
    EXPECT_EQ(fds["0"], "/dev/null");
    EXPECT_EQ(fds["2"], "/dev/null");
    EXPECT_EQ(nulls, 3) << listing;
}

}  // namespace
}  // namespace ql
