#pragma once
// The editor's side of the program's deferred actions: it arms them through the program's
// scheduler, and runs the paste of the clipboard road when the program's timer gets to it.
#include "app/editor/session/DeferredWork.h"

#include <functional>
#include <string>

namespace ql {

class PageSession;
class PageViews;

class EditorActions {
public:
    EditorActions(PageSession& session, PageViews& views);

    // The program's scheduler (action, interval in ms, ticks); unset, nothing is armed.
    std::function<void(ZoneAction action, int intervalMs, int ticks)> Schedule;

    // EditorWindow::ScheduleAction. Arming the clipboard paste notes the page it is meant for.
    void Arm(ZoneAction action, int intervalMs, int ticks);

    // The clipboard road's paste, after the source program copied its selection. It runs only
    // into the page it was armed for, in the HTML view: when the user went to another node or
    // view meanwhile it is dropped, so it never lands in another page. False when dropped.
    bool RunClipboardPaste();

private:
    PageSession& session_;
    PageViews& views_;
    std::string pastePage_;
};

}  // namespace ql
