#pragma once
// The editor tree as a drop target: which node a dragged clip goes to and how, the status text
// while dragging, and the hover-expand timer (700 ms) that opens the node the cursor rests on.
#include "app/collection/CollectionTree.h"

namespace ql {

class ClipIntake;
class EditorWindow;
struct TSettings;

// Where a tree hit test found the cursor; a position may report several.
enum TreeHit : unsigned {
    kHitNowhere = 1u << 0,  // below the last item
    kHitOnIcon = 1u << 1,
    kHitOnLabel = 1u << 2,
    kHitOnIndent = 1u << 3,
    kHitOnButton = 1u << 4,  // the expand button
    kHitOnRight = 1u << 5,   // right of the label
};

// The clip mode for a drop on the editor's tree: a child on an item or its icon; a sibling below
// the items, on an indent, or on nothing but the expand button; else a child.
Attach EditorClipModeForHit(unsigned hit);

inline constexpr int kHoverExpandIntervalMs = 700;

class EditorDropTargeting {
public:
    EditorDropTargeting(ClipIntake& clips, TSettings& settings, EditorWindow& window);

    void DragEnter();
    // Every move; `under` is the node under the cursor (nullptr for none).
    void DragOver(TreeNode* under, unsigned hit);
    void DragLeave();
    // One tick of the hover timer: the node to expand now, or nullptr.
    TreeNode* TimerTick(TreeNode* under);

    bool TimerEnabled() const { return timerEnabled_; }

private:
    ClipIntake& clips_;
    TSettings& settings_;
    EditorWindow& window_;
    bool timerEnabled_ = false;
    int ticks_ = 0;  // the timer's Tag
};

}  // namespace ql
