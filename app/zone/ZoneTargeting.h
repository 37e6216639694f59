#pragma once
// The drop zone's tree as a drop target: the clip mode for a hit-test result, and what a drop
// at the pointer will do, as the status text says it.
#include "app/editor/session/EditorDropTargeting.h"
#include "app/zone/ZoneWindow.h"

#include <string>

namespace ql {

inline constexpr char kAppendStatus[] = "Append selection to current node";
inline constexpr char kSaveInformationCaption[] = " Save information";
inline constexpr char kFirstNodeStatus[] = "Add as the first node";

// On an item or its icon: a child (LastChild). Below the items: a sibling (LastSibling). On an
// indent, or on nothing but the expand button: InsertBefore. Anything else: a child.
Attach ZoneClipModeForHit(unsigned hit);

// "Insert to" (InsertBefore), "Add SiblingNode to" (LastSibling) or "Add ChildNode to"
// (otherwise), a blank and the caption in quotes.
std::string ZoneTargetStatus(Attach clipMode, const std::string& caption);

// What a drop at the pointer does: how a new node is attached to the target, whether the clip
// makes a node at all (the bar appends it to the open page), and the status text saying so.
struct ZoneAim {
    Attach clipMode = Attach::LastChild;
    bool createNew = true;
    std::string status;
};

// For the pointer at `hit`, with `target` the zone tree's selected node (nullptr while the tree
// is being copied, which names nothing yet). In an empty collection a drop makes the first node.
ZoneAim AimZoneDrop(const ZoneTreeHit& hit, const TreeNode* target, bool emptyCollection);

}  // namespace ql
