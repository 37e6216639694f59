#pragma once
// "Edit With": the desktop's applications for HTML files, listed once per run, each starting
// with the open page as its one argument (never through a shell). The toolbar button starts the
// entry last used, else the last whose name contains "Front", else the first.
#include "platform/gui/DesktopApps.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ql {

class Launcher;
class PageSession;

inline constexpr char kEditWithMimeType[] = "text/html";

class EditWithMenu {
public:
    using AppSource = std::function<std::vector<DesktopApp>()>;
    // `apps` lists the applications (production: AppsForMimeType(kEditWithMimeType)).
    EditWithMenu(PageSession& session, Launcher& launcher, AppSource apps);

    // MenuEditPageClick: reads the applications on the first call only. True when this call
    // filled the list (the menu must then be built from Entries()).
    bool Fill();
    const std::vector<DesktopApp>& Entries() const { return entries_; }
    std::vector<std::string> Captions() const;
    // The program an entry starts (the item's hint); "" when its command line is unusable.
    std::string ProgramOf(std::size_t index) const;

    // EditWithItemClick: saves the open page, starts the entry with the page file and remembers
    // the entry. False when nothing was started.
    bool EditWithItemClick(std::size_t index);
    // ToolButton54Click.
    bool ToolButton54Click();

private:
    PageSession& session_;
    Launcher& launcher_;
    AppSource apps_;
    bool filled_ = false;
    std::vector<DesktopApp> entries_;
};

}  // namespace ql
