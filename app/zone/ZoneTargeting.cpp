#include "app/zone/ZoneTargeting.h"

#include "app/collection/CollectionTree.h"

namespace ql {

std::uint8_t ZoneClipModeForHit(unsigned hit)
{
    std::uint8_t mode = static_cast<std::uint8_t>(Attach::LastChild);
    if (hit & (kHitOnLabel | kHitOnIcon))
        mode = static_cast<std::uint8_t>(Attach::LastChild);
    else if (hit & kHitNowhere)
        mode = static_cast<std::uint8_t>(Attach::LastSibling);
    else if (hit & kHitOnIndent)
        mode = static_cast<std::uint8_t>(Attach::InsertBefore);
    if (hit == kHitOnButton)
        mode = static_cast<std::uint8_t>(Attach::InsertBefore);
    return mode;
}

std::string ZoneTargetStatus(std::uint8_t clipMode, const std::string& caption)
{
    const char* verb = "Add ChildNode to";
    if (clipMode == static_cast<std::uint8_t>(Attach::InsertBefore))
        verb = "Insert to";
    else if (clipMode == static_cast<std::uint8_t>(Attach::LastSibling))
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
