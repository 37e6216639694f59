#pragma once
// The capture extension's messages without the program's toolkit: a desktop notification
// (notify-send) when the desktop has one, else a line on the standard error stream.
#include "foundation/Dialogs.h"
#include "platform/core/Launcher.h"

namespace ql::brimhook {

class DesktopMessages final : public Dialogs {
public:
    explicit DesktopMessages(Launcher& launcher) : launcher_(launcher) {}
    void ShowMessage(const std::string& text) override;

private:
    Launcher& launcher_;
};

}  // namespace ql::brimhook
