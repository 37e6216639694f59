#pragma once
// The drag source helper program of the drop tests (tests/platform/gui/drag_source_helper.cpp),
// running for one test: it offers what a browser offers for the given mode at (x, y) of the
// screen and reports on its output ("ready", "begin", "get <target>", "end"; with `answers`, a
// Chromium-style drag also "answered X Y accepted|refused" for every position the target answered).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace ql::test {

class DragSource {
public:
    DragSource(const char* helper, const std::string& mode, int x, int y, bool answers = false)
    {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0)
            return;
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_adddup2(&fa, in[0], 0);
        posix_spawn_file_actions_adddup2(&fa, out[1], 1);
        posix_spawn_file_actions_addclose(&fa, in[1]);
        posix_spawn_file_actions_addclose(&fa, out[0]);
        std::string sx = std::to_string(x), sy = std::to_string(y);
        const char* argv[] = {helper, mode.c_str(), sx.c_str(), sy.c_str(), answers ? "answers" : nullptr, nullptr};
        if (posix_spawn(&pid_, helper, &fa, nullptr, const_cast<char**>(argv), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&fa);
        close(in[0]);
        close(out[1]);
        toChild_ = in[1];
        fromChild_ = out[0];
        fcntl(fromChild_, F_SETFL, O_NONBLOCK);
    }
    ~DragSource()
    {
        if (toChild_ >= 0)
            close(toChild_);  // the helper quits when its input closes
        if (pid_ > 0) {
            int status = 0;
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (waitpid(pid_, &status, WNOHANG) == 0) {
                if (std::chrono::steady_clock::now() > deadline) {
                    kill(pid_, SIGKILL);
                    waitpid(pid_, &status, 0);
                    break;
                }
                poll(nullptr, 0, 10);
            }
        }
        if (fromChild_ >= 0)
            close(fromChild_);
    }
    int Fd() const { return fromChild_; }
    void Read()
    {
        char buf[4096];
        ssize_t n;
        while ((n = read(fromChild_, buf, sizeof buf)) > 0)
            pending_.append(buf, static_cast<std::size_t>(n));
        for (std::size_t nl; (nl = pending_.find('\n')) != std::string::npos; pending_.erase(0, nl + 1))
            lines.push_back(pending_.substr(0, nl));
    }
    bool Said(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
    // Whether a line from the `from`-th on starts with `prefix`.
    bool SaidSince(std::size_t from, const std::string& prefix) const
    {
        return std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(std::min(from, lines.size())), lines.end(),
                           [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    }
    std::vector<std::string> Requested() const
    {
        std::vector<std::string> r;
        for (const auto& l : lines)
            if (l.rfind("get ", 0) == 0)
                r.push_back(l.substr(4));
        return r;
    }

    std::vector<std::string> lines;

private:
    pid_t pid_ = -1;
    int toChild_ = -1, fromChild_ = -1;
    std::string pending_;
};

}  // namespace ql::test
