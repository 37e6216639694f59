#include "app/editor/ViewCommands.h"

#include "app/editor/session/PageSession.h"

namespace ql {

bool SwitchViewByButton(PageSession& session, PageViews& views, int view)
{
    if (!session.SaveCurrentPage(""))
        return false;
    views.SwitchView(view, true);
    return true;
}

void ReloadCurrentPage(PageSession& session, EditorDialogs& dialogs)
{
    if (!session.EditorTree().Selected())
        return;
    if (dialogs.AskYesNo(kReloadCaption, kReloadQuestion))
        session.ShowCurrentPage("");
}

}  // namespace ql
