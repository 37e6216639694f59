#pragma once
// A Dialogs port for tests: records every message shown.
#include "foundation/Dialogs.h"

#include <string>
#include <vector>

namespace ql::test {

class FakeDialogs : public Dialogs {
public:
    std::vector<std::string> messages;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

}  // namespace ql::test
