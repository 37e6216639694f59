#include "platform/core/ErrorLog.h"
#include "platform/core/ExitDeadline.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <new>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ql {
namespace {

using namespace std::chrono_literals;

// Whatever a handler throws stops at the guard, as one line in the log that says where.
TEST(ErrorLog, TheGuardKeepsEveryExceptionAndLogsItWithItsPlace)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(GuardHandler("drop zone", [] { throw std::runtime_error("no page"); }));
    EXPECT_FALSE(GuardHandler("editor", [] { throw 42; }));
    EXPECT_FALSE(GuardHandler("exit", [] { return false; }));
    EXPECT_TRUE(GuardHandler("exit", [] { return true; }));
    EXPECT_TRUE(GuardHandler("timer", [] {}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "quillory: drop zone: no page\nquillory: editor: unexpected failure\n");

    // Where the user is told too, the text comes once it is logged; a failing telling is logged.
    std::vector<std::string> told;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(GuardHandler(
        "shell list", [] { throw std::runtime_error("no folder"); },
        [&](const std::string& text) { told.push_back(text); }));
    EXPECT_TRUE(GuardHandler(
        "shell list", [] {}, [&](const std::string& text) { told.push_back(text); }));
    EXPECT_FALSE(GuardHandler(
        "shell list", [] { throw 1; }, [](const std::string&) { throw std::runtime_error("no box"); }));
    EXPECT_EQ(told, std::vector<std::string>{"no folder"});
    EXPECT_EQ(
        testing::internal::GetCapturedStderr(),
        "quillory: shell list: no folder\nquillory: shell list: unexpected failure\nquillory: shell list: no box\n");
}

// What escapes to the event loop is logged; only running out of memory ends the loop.
TEST(ErrorLog, OnlyRunningOutOfMemoryEndsTheEventLoop)
{
    auto after = [](auto thrown) {
        try {
            throw thrown;
        } catch (...) {
            return ContinueAfterEscapedException();
        }
    };
    testing::internal::CaptureStderr();
    EXPECT_TRUE(after(std::logic_error("a handler's bug")));
    EXPECT_FALSE(after(std::bad_alloc()));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("quillory: event loop: a handler's bug\n"), std::string::npos) << log;
    EXPECT_NE(log.find("out of memory"), std::string::npos) << log;
}

// A process that hangs after an exit was asked for from outside ends by the deadline.
TEST(ExitDeadline, AHangingExitEndsByTheDeadline)
{
    const auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ArmExitDeadline(200ms);
        ArmExitDeadline(60s);  // a second request changes nothing
        for (;;)
            pause();
    }
    // Waited for no longer than that: a deadline that never strikes fails here, not by hanging.
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() - start < 5s)
        std::this_thread::sleep_for(10ms);
    if (ended == 0) {
        ::kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    ASSERT_EQ(ended, child) << "still running after 5 s";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
}

}  // namespace
}  // namespace ql
