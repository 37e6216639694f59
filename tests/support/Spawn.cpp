#include "tests/support/Spawn.h"

#include <fcntl.h>
#include <spawn.h>

#include <map>

extern char** environ;

namespace ql::test {

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> out;
    for (auto& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

pid_t Spawn(const std::vector<std::string>& argv, const SpawnOptions& options)
{
    if (argv.empty())
        return -1;
    std::map<std::string, std::string> vars;
    for (char** e = environ; *e; ++e) {
        const std::string kv = *e;
        const auto eq = kv.find('=');
        if (eq != std::string::npos)
            vars[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    for (const std::string& kv : options.env) {
        const auto eq = kv.find('=');
        if (eq == std::string::npos)
            continue;
        if (eq + 1 == kv.size())
            vars.erase(kv.substr(0, eq));
        else
            vars[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    std::vector<std::string> envStrings;
    for (const auto& [k, v] : vars)
        envStrings.push_back(k + "=" + v);
    std::vector<std::string> argStrings = argv;
    std::vector<char*> envp = Pointers(envStrings), args = Pointers(argStrings);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!options.stdoutFile.empty())
        posix_spawn_file_actions_addopen(&actions, 1, options.stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!options.stderrFile.empty())
        posix_spawn_file_actions_addopen(&actions, 2, options.stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!options.cwd.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.cwd.c_str());
    posix_spawnattr_t attrs;
    posix_spawnattr_init(&attrs);
    if (options.ownGroup) {
        posix_spawnattr_setflags(&attrs, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attrs, 0);
    }
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0].c_str(), &actions, &attrs, args.data(), envp.data()) != 0)
        pid = -1;
    posix_spawnattr_destroy(&attrs);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace ql::test
