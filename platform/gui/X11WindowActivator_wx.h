#pragma once
// Bringing another program's window to the front on an X11 desktop: the window manager is
// asked with _NET_ACTIVE_WINDOW, as a pager or an application asks it.
#include "platform/core/WindowActivator.h"

namespace ql {

class X11WindowActivator : public WindowActivator {
public:
    bool ActivateWindowOf(pid_t pid, const std::string& windowClass) override;
};

}  // namespace ql
