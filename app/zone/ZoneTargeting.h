#pragma once
// The drop zone's tree as a drop target: the clip mode for a hit-test result and the status
// text that says what a drop will do.
#include "app/collection/EditorDropTargeting.h"

#include <cstdint>
#include <string>

namespace ql {

inline constexpr char kAppendStatus[] = "Append selection to current node";
inline constexpr char kSaveInformationCaption[] = " Save information";

// On an item or its icon: a child (2). Below the items: a sibling (0). On an indent, or on
// nothing but the expand button: inserted before (4). Anything else: a child.
std::uint8_t ZoneClipModeForHit(unsigned hit);

// "Insert to" (mode 4) or "Add ChildNode to" (otherwise), a blank and the caption in quotes.
std::string ZoneTargetStatus(std::uint8_t clipMode, const std::string& caption);

}  // namespace ql
