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
    const char* verb = clipMode == static_cast<std::uint8_t>(Attach::InsertBefore) ? "Insert to" : "Add ChildNode to";
    return std::string(verb) + " \"" + caption + "\"";
}

}  // namespace ql
