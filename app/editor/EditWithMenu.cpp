#include "app/editor/EditWithMenu.h"

#include "app/editor/BrowseTools.h"
#include "app/editor/session/PageSession.h"
#include "platform/core/Launcher.h"

namespace ql {

EditWithMenu::EditWithMenu(PageSession& session, Launcher& launcher, AppSource apps)
    : session_(session), launcher_(launcher), apps_(std::move(apps))
{
}

bool EditWithMenu::Fill()
{
    if (filled_)
        return false;
    filled_ = true;
    if (apps_)
        entries_ = apps_();
    return true;
}

std::vector<std::string> EditWithMenu::Captions() const
{
    std::vector<std::string> captions;
    captions.reserve(entries_.size());
    for (const DesktopApp& app : entries_)
        captions.push_back(app.name);
    return captions;
}

std::string EditWithMenu::ProgramOf(std::size_t index) const
{
    if (index >= entries_.size())
        return {};
    const auto argv = ExecArgv(entries_[index].exec, "", entries_[index].name);
    return argv && !argv->empty() ? argv->front() : std::string();
}

bool EditWithMenu::EditWithItemClick(std::size_t index)
{
    if (index >= entries_.size() || !session_.SaveCurrentPage(""))
        return false;
    TSettings& settings = session_.AppSettings();
    settings.EditWith = static_cast<std::int32_t>(index);
    const auto argv = ExecArgv(entries_[index].exec, settings.CurrentPageFile, entries_[index].name);
    return argv && !argv->empty() && launcher_.Spawn(*argv);
}

bool EditWithMenu::ToolButton54Click()
{
    Fill();
    const int entry = ChooseEditWithEntry(Captions(), session_.AppSettings().EditWith);
    if (entry < 0)
        return false;
    return EditWithItemClick(static_cast<std::size_t>(entry));
}

}  // namespace ql
