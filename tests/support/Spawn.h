#pragma once
// Starting another program from a test: its argument list, its environment as ours with
// changes, where its output goes, and (for programs that start helpers of their own, such as
// browsers) a process group of its own, so that the test can end them all.
#include <string>
#include <sys/types.h>
#include <vector>

namespace ql::test {

struct SpawnOptions {
    // Changes to our environment: "NAME=value" adds or replaces, "NAME=" removes.
    std::vector<std::string> env;
    std::string stdoutFile, stderrFile;  // "" keeps ours
    std::string cwd;                     // "" keeps ours
    bool ownGroup = false;               // the process leads a new process group
};

// The process's id, or -1 when it could not be started. argv[0] is the program's path.
pid_t Spawn(const std::vector<std::string>& argv, const SpawnOptions& options);

}  // namespace ql::test
