#pragma once
// A window activator for tests: records every request and answers with `result`.
#include "platform/core/WindowActivator.h"

#include <string>
#include <utility>
#include <vector>

namespace ql::test {

class FakeWindowActivator : public WindowActivator {
public:
    bool result = true;
    std::vector<std::pair<pid_t, std::string>> asked;

    bool ActivateWindowOf(pid_t pid, const std::string& windowClass) override
    {
        asked.emplace_back(pid, windowClass);
        return result;
    }
};

}  // namespace ql::test
