#include "app/editor/EditorActions.h"

#include "app/editor/session/PageSession.h"

namespace ql {

EditorActions::EditorActions(PageSession& session, PageViews& views) : session_(session), views_(views) {}

void EditorActions::Arm(ZoneAction action, int intervalMs, int ticks)
{
    if (action == ZoneAction::CopyAndPaste)
        pastePage_ = session_.AppSettings().CurrentPageFile;
    if (Schedule)
        Schedule(action, intervalMs, ticks);
}

bool EditorActions::RunClipboardPaste()
{
    const std::string page = std::move(pastePage_);
    pastePage_.clear();
    if (page.empty() || page != session_.AppSettings().CurrentPageFile || views_.ActiveView() != kViewHtml)
        return false;
    session_.StartClipboardPaste();
    return true;
}

}  // namespace ql
