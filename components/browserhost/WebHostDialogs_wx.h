#pragma once
// The browser host's watch on the windows around its owner (WebHostDialogs_wx.cpp).
#include "components/browserhost/WebHost_wx.h"
#include "platform/gui/ToplevelWatch_wx.h"

#include <set>

namespace ql {

class TWebHost::DialogWatch {
public:
    explicit DialogWatch(TWebHost* host);

private:
    void Activated(GtkWindow* window);
    void OtherProgramActivated(unsigned long window);
    bool EngineModal(GtkWindow* window) const;
    void Shown(GtkWindow* window);
    void Hidden(GtkWindow* window);

    TWebHost* host_;
    GtkWindow* owner_;
    bool armed_;                  // the owner is active: the next window to take it is reported
    std::set<GtkWindow*> modal_;  // the engine's modal dialogs on the owner, shown
    web::ToplevelWatch watch_;
};

}  // namespace ql
