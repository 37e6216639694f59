#include "app/zone/ZoneTargeting.h"

#include "app/collection/CollectionTree.h"

namespace ql {

Attach ZoneClipModeForHit(unsigned hit)
{
    Attach mode = Attach::LastChild;
    if (hit & (kHitOnLabel | kHitOnIcon))
        mode = Attach::LastChild;
    else if (hit & kHitNowhere)
        mode = Attach::LastSibling;
    else if (hit & kHitOnIndent)
        mode = Attach::InsertBefore;
    if (hit == kHitOnButton)
        mode = Attach::InsertBefore;
    return mode;
}

std::string ZoneTargetStatus(Attach clipMode, const std::string& caption)
{
    const char* verb = "Add ChildNode to";
    if (clipMode == Attach::InsertBefore)
        verb = "Insert to";
    else if (clipMode == Attach::LastSibling)
        verb = "Add SiblingNode to";
    return std::string(verb) + " \"" + caption + "\"";
}

ZoneAim AimZoneDrop(const ZoneTreeHit& hit, const TreeNode* target, bool emptyCollection)
{
    ZoneAim aim;
    if (emptyCollection) {
        aim.status = kFirstNodeStatus;
        return aim;
    }
    if (hit.inBar) {
        aim.createNew = false;
        aim.status = kAppendStatus;
        return aim;
    }
    if (!target)
        return aim;
    if (hit.inTree)
        aim.clipMode = ZoneClipModeForHit(hit.hit);
    aim.status = ZoneTargetStatus(aim.clipMode, target->Text());
    return aim;
}

}  // namespace ql
