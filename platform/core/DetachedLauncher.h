#pragma once
// A launcher for code that may be unloaded while what it started still runs, such as a
// component library inside another program: each program starts as a grandchild that the
// system adopts, so no thread of ours waits for it and no zombie is left behind.
#include "platform/core/Launcher.h"

#include <string>
#include <vector>

namespace ql {

class DetachedLauncher : public SystemLauncher {
public:
    // Starts argv[0] (looked up in PATH when it has no '/') in a session of its own, with
    // /dev/null as its input and output and no other descriptor of ours. True once the program
    // is running; false when it could not be found or started.
    bool Spawn(const std::vector<std::string>& argv) override;
};

}  // namespace ql
