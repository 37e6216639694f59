#include "app/editor/session/EditorDropTargeting.h"

#include "app/collection/CollectionTree.h"
#include "app/editor/session/ClipIntake.h"
#include "app/editor/session/EditorPorts.h"
#include "foundation/VekCollectClass.h"

namespace ql {

std::uint8_t EditorClipModeForHit(unsigned hit)
{
    std::uint8_t mode = 2;
    if (hit & (kHitOnLabel | kHitOnIcon))
        mode = 2;
    else if (hit & (kHitNowhere | kHitOnIndent))
        mode = 0;
    if (hit == kHitOnButton)
        mode = 0;
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
