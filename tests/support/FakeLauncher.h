#pragma once
// A launcher for tests: records every request and answers with `result`.
#include "platform/core/Launcher.h"

#include <string>
#include <vector>

namespace ql::test {

class FakeLauncher : public Launcher {
public:
    bool result = true;
    std::vector<std::vector<std::string>> spawned;
    std::vector<std::string> opened;

    bool Spawn(const std::vector<std::string>& argv) override
    {
        spawned.push_back(argv);
        return result;
    }
    bool OpenWithDesktop(const std::string& urlOrPath) override
    {
        opened.push_back(urlOrPath);
        return result;
    }
};

}  // namespace ql::test
