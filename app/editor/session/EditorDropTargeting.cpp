#include "app/editor/session/EditorDropTargeting.h"

#include "app/collection/CollectionTree.h"
#include "app/editor/session/ClipIntake.h"
#include "app/editor/session/EditorPorts.h"
#include "foundation/VekCollectClass.h"

namespace ql {

Attach EditorClipModeForHit(unsigned hit)
{
    Attach mode = Attach::LastChild;
    if (hit & (kHitOnLabel | kHitOnIcon))
        mode = Attach::LastChild;
    else if (hit & (kHitNowhere | kHitOnIndent))
        mode = Attach::LastSibling;
    if (hit == kHitOnButton)
        mode = Attach::LastSibling;
    return mode;
}

EditorDropTargeting::EditorDropTargeting(ClipIntake& clips, TSettings& settings, EditorWindow& window)
    : clips_(clips), settings_(settings), window_(window)
{
}

void EditorDropTargeting::DragEnter()
{
    ticks_ = 1;
    timerEnabled_ = true;
}

void EditorDropTargeting::DragOver(TreeNode* under, unsigned hit)
{
    settings_.DragCreateNew = true;
    // The source program copies its selection while the drag goes on.
    window_.ScheduleAction(ZoneAction::CopyOnly, kActionIntervalMs, 1);
    if (under && under != clips_.ClipTarget()) {
        window_.SetStatusText(under->Text());
        clips_.SetClipTarget(under);
        window_.SetDropHighlight(under);
    }
    clips_.ClipMode = EditorClipModeForHit(hit);
    window_.ShowEditorForDrag();
}

void EditorDropTargeting::DragLeave()
{
    timerEnabled_ = false;
    clips_.SetClipTarget(nullptr);
    window_.SetStatusText("");
}

TreeNode* EditorDropTargeting::TimerTick(TreeNode* under)
{
    if (!timerEnabled_)
        return nullptr;
    if (under && under == clips_.ClipTarget())
        ++ticks_;
    else
        ticks_ = 0;
    if (ticks_ < 2)
        return nullptr;
    ticks_ = 0;
    return under;
}

}  // namespace ql
