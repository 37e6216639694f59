#pragma once
// Runs the DDE client program (dde_client_helper.cpp) to its end while `serve` keeps the
// host's thread going; gives its exit status, -1 when it could not run or did not end in time.
#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace ql::test {

inline int RunDdeClient(std::vector<std::string> args, const std::function<bool(const std::function<bool()>&)>& serve)
{
    args.insert(args.begin(), QL_DDE_CLIENT);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, QL_DDE_CLIENT, nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = -1;
    if (!serve([&] { return waitpid(pid, &status, WNOHANG) == pid; })) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ql::test
