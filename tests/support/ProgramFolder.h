#pragma once
// The program itself, started from a temporary program folder of its own: a link to the built
// binary beside its Collection/ and ini, with private config and runtime folders, so the
// end-to-end tests never touch the user's files or another test's program.
#include "tests/support/TempDir.h"

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace ql::test {

class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();  // kills what it started and is still running
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const TempDir& dir() const { return temp_; }
    std::string Exe() const { return temp_.dir() + "quillory"; }
    std::string ConfigDir() const { return temp_.dir() + "config"; }  // its XDG_CONFIG_HOME
    std::string RuntimeDir() const { return temp_.dir() + "run/"; }   // its XDG_RUNTIME_DIR
    std::string SocketPath() const { return RuntimeDir() + "quillory/wnd-TPlinderDragZoneForm.sock"; }

    // Starts the program with `args`; its stderr goes to a file (Stderr()). `env` adds or
    // replaces variables ("NAME=value"); "NAME=" removes one.
    // `cwd`: the folder it starts in ("" for ours).
    pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                const std::string& cwd = {});
    // Waits for the process to end: its exit status, or -1 after the timeout.
    int Wait(pid_t pid, std::chrono::milliseconds timeout);
    std::string Stderr() const;
    // Waits until the zone listens for hand-overs.
    bool WaitListening(std::chrono::milliseconds timeout) const;

    // A collection of one page, "Notes", and settings that keep the editor hidden at start,
    // leave pictures out and put the zone at (600, 300).
    void WriteSmallCollection() const;
    // The id of the collection's `line`-th node in "tvdata" (from 0), or "" while there is none.
    std::string IdOfNode(std::size_t line) const;
    // The page file of that node, or "" while there is none.
    std::string PageOfNode(std::size_t line) const;

private:
    TempDir temp_;
    std::vector<pid_t> started_;
    int run_ = 0;
};

// Signals a process this test started. Only ever one: kill() with 0 or -1 would signal the
// test's whole process group, or every process.
void Signal(pid_t pid, int signal);

// Polls `done` until it holds or `timeout` has passed.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

}  // namespace ql::test
