#include "platform/core/Launcher.h"

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace ql {

std::vector<char*> ExecArgv(const std::vector<std::string>& argv)
{
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    return args;
}

bool SystemLauncher::Spawn(const std::vector<std::string>& argv)
{
    if (argv.empty() || argv[0].empty())
        return false;
    std::vector<char*> args = ExecArgv(argv);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    // The child reads nothing of ours, starts its own session (our terminal's signals don't
    // reach it) and begins with default signal handling and an empty mask.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    int rc = posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0)
        return false;
    // Reap the child when it ends so that none is left a zombie.
    std::thread([pid] {
        int status;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool SystemLauncher::OpenWithDesktop(const std::string& urlOrPath)
{
    if (urlOrPath.empty())
        return false;
    // A relative name starting with '-' would be read as an option.
    std::string target = urlOrPath[0] == '-' ? "./" + urlOrPath : urlOrPath;
    return Spawn({"xdg-open", target});
}

}  // namespace ql
