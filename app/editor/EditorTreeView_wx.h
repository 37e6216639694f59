#pragma once
// The editor's tree control TV as a mirror of the collection tree: every change of the model
// shows at once, items find their nodes (by serial, so a deleted node is never used), and each
// item carries its icon by children and expansion. A node's children get their items when it
// is first expanded, or when one of them is asked for (ItemOf), so a big collection opens at
// once. Selection events caused by the mirror itself are marked as such, so the form's handlers
// let them pass.
#include "app/collection/CollectionTree.h"
#include "app/collection/WxTreeItems_wx.h"
#include "app/editor/session/EditorDropTargeting.h"

#include <wx/treectrl.h>

class wxImageList;

namespace ql {

class EditorTreeView {
public:
    EditorTreeView(wxTreeCtrl* tv, CollectionTree& model);
    EditorTreeView(const EditorTreeView&) = delete;
    EditorTreeView& operator=(const EditorTreeView&) = delete;

    // The node's item, made when it has none yet.
    wxTreeItemId ItemOf(const TreeNode* node) { return items_.ItemOf(node); }
    TreeNode* NodeOf(const wxTreeItemId& item) const { return items_.NodeOf(item); }
    // The node at a point of the control's client area, and where the hit test found the point.
    TreeNode* HitTest(const wxPoint& point, unsigned* hit) const;
    // True while the mirror itself changes the control.
    bool Quiet() const { return items_.Quiet(); }
    void UpdateIcon(const wxTreeItemId& item) { items_.UpdateIcon(item); }
    void ShowSelection();         // scrolls the selected item wholly into view
    void ExpandAll(bool expand);  // every node, inside one update
    void ExpandSubtree(const TreeNode* node, bool expand);

    // The icons of ImageList_tree this control uses, in the order of its image list.
    static wxImageList* MakeImageList();

private:
    wxTreeCtrl* tv_;
    WxTreeItems items_;
};

// The control's hit flags as the tree hit test of the drop and move logic reads them. The editor
// counts the space below the last item as nowhere; the drop zone's targeting does not (a drop
// there adds a last sibling).
unsigned TreeHitFromWx(int flags, bool belowIsNowhere = true);

}  // namespace ql
