#include "tests/support/BareDisplay.h"

#include "tests/support/Spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace ql::test {

namespace {

constexpr int kStartTimeoutMs = 10000;

}  // namespace

BareDisplay::BareDisplay(int width, int height)
{
    // The server writes its display number to the pipe once it takes connections; only the
    // write end is inherited, and only by the server, which is the one program started now.
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        error_ = "no pipe";
        return;
    }
    ::fcntl(pipeFds[0], F_SETFD, FD_CLOEXEC);
    SpawnOptions options;
    options.stdoutFile = options.stderrFile = "/dev/null";
    pid_ = Spawn({"/usr/bin/Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                  std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp", "-noreset"},
                 options);
    ::close(pipeFds[1]);
    std::string number;
    pollfd p{pipeFds[0], POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && ::poll(&p, 1, kStartTimeoutMs) == 1 && ::read(pipeFds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(pipeFds[0]);
    if (pid_ <= 0 || number.empty() || c != '\n') {
        error_ = pid_ <= 0 ? "Xvfb could not be started" : "Xvfb did not say its display";
        return;
    }
    name_ = ":" + number;
    if (const char* display = std::getenv("DISPLAY"))
        previous_ = display;
    ::setenv("DISPLAY", name_.c_str(), 1);
}

BareDisplay::~BareDisplay()
{
    if (!name_.empty()) {
        if (previous_)
            ::setenv("DISPLAY", previous_->c_str(), 1);
        else
            ::unsetenv("DISPLAY");
    }
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
}

}  // namespace ql::test
