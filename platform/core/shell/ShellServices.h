#pragma once
// What the namespace's menus and drop targets need from the desktop, as ports: the launcher
// (open), the desktop clipboard's file list (cut, copy, paste) and the confirmations of a
// delete. The program installs the real ones at start; tests install fakes. Without a
// clipboard, cut/copy/paste are not offered; without a confirmation, nothing is deleted.
#include <string>
#include <vector>

#include "platform/core/Launcher.h"

namespace ql::shell {

class ShellClipboard {
public:
    virtual ~ShellClipboard() = default;
    // Puts the files on the clipboard, marked as cut or copied. False when it could not.
    virtual bool PutFiles(const std::vector<std::string>& paths, bool cut) = 0;
    // The files on the clipboard and whether they were cut; false when it holds none.
    virtual bool GetFiles(std::vector<std::string>& paths, bool& cut) = 0;
    // Empties the clipboard (after a cut's paste moved the files).
    virtual void Clear() = 0;
};

class ShellConfirm {
public:
    virtual ~ShellConfirm() = default;
    // Asked before a delete moves the items to the trash: false keeps them all.
    virtual bool ConfirmMoveToTrash(const std::vector<std::string>& paths) = 0;
    // Asked when the items cannot go to the trash: true deletes them for good.
    virtual bool ConfirmPermanentDelete(const std::vector<std::string>& paths) = 0;
};

struct ShellServices {
    Launcher* launcher = nullptr;
    ShellClipboard* clipboard = nullptr;
    ShellConfirm* confirm = nullptr;
};

// Set on the GUI thread before any menu is used; the objects must outlive their use.
void SetShellServices(const ShellServices& services);
const ShellServices& GetShellServices();

// The clipboard's payloads: "x-special/gnome-copied-files" ("copy" or "cut", then one file URL
// a line) and "text/uri-list" (one file URL a line, CR LF).
std::string BuildCopiedFilesText(const std::vector<std::string>& paths, bool cut);
bool ParseCopiedFilesText(const std::string& text, std::vector<std::string>& paths, bool& cut);
std::string BuildUriListText(const std::vector<std::string>& paths);

}  // namespace ql::shell
