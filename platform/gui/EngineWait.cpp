#include "platform/gui/EngineWait.h"

namespace ql::web {

DuringWait DecideDuringWait(WaitEventKind kind)
{
    switch (kind) {
    case WaitEventKind::Key:
    case WaitEventKind::Button:
    case WaitEventKind::Motion:
    case WaitEventKind::Scroll:
    case WaitEventKind::Touch:
    case WaitEventKind::CloseRequest:
        return DuringWait::HoldBack;
    case WaitEventKind::Idle:
        return DuringWait::Skip;
    case WaitEventKind::Other:
        return DuringWait::HandOn;
    }
    return DuringWait::HandOn;
}

AfterScriptWait DecideAfterScriptWait(const ScriptWaitEnd& end)
{
    if (end.answered)
        return end.ok ? AfterScriptWait::TakeResult : AfterScriptWait::Fail;
    // Ending the hung process makes the view usable again (the next load starts a new one)
    // instead of every later call waiting as long; a view that went needs nothing ended.
    return end.endHungProcess && end.viewLive ? AfterScriptWait::EndHungProcess : AfterScriptWait::Fail;
}

}  // namespace ql::web
