#pragma once
// Starting other programs. Always from an argument list, never through a shell command
// string, so that names and URLs with blanks, quotes or semicolons stay single arguments.
#include <string>
#include <vector>

namespace ql {

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts argv[0] (looked up in PATH when it has no '/') with the other arguments, detached
    // from us. False when it could not be started.
    virtual bool Spawn(const std::vector<std::string>& argv) = 0;
    // Opens a URL or a file with the desktop's default handler (xdg-open).
    virtual bool OpenWithDesktop(const std::string& urlOrPath) = 0;
};

// The real launcher (posix_spawnp; children are reaped so none is left a zombie).
class SystemLauncher : public Launcher {
public:
    bool Spawn(const std::vector<std::string>& argv) override;
    bool OpenWithDesktop(const std::string& urlOrPath) override;
};

// The null-terminated pointer array that exec and spawn calls take; it points into `argv`,
// which must outlive it.
std::vector<char*> ExecArgv(const std::vector<std::string>& argv);

}  // namespace ql
