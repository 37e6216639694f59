#pragma once
// The desktop services of the shell namespace in the program: the launcher, the desktop
// clipboard's file lists and the confirmation boxes of a delete.
#include "platform/core/shell/ShellServices.h"

namespace ql::shell {

// Cut and copied files as the desktop's file managers exchange them: "x-special/gnome-copied-
// files" with "text/uri-list" beside it.
class WxShellClipboard : public ShellClipboard {
public:
    bool PutFiles(const std::vector<std::string>& paths, bool cut) override;
    bool GetFiles(std::vector<std::string>& paths, bool& cut) override;
    void Clear() override;
};

class WxShellConfirm : public ShellConfirm {
public:
    bool ConfirmMoveToTrash(const std::vector<std::string>& paths) override;
    bool ConfirmPermanentDelete(const std::vector<std::string>& paths) override;
};

// Installs the program's services (once; they live for the whole run).
void InstallDesktopShellServices();

}  // namespace ql::shell
