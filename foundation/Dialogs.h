#pragma once
// The message boxes the foundation shows, as a port: the program passes WxDialogs
// (Dialogs_wx.h), tests a recording fake (tests/support/FakeDialogs.h).
#include <string>

namespace ql {

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A simple message box with an OK button; returns when the user closed it.
    virtual void ShowMessage(const std::string& text) = 0;
};

}  // namespace ql
