#include "app/editor/EditorTreeView_wx.h"

#include "app/editor/TreeOperations.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>

namespace ql {

namespace {

// Where each icon of the tree sits in the control's image list.
struct IconSlot {
    TreeIcon icon;
    const char* art;
};
constexpr IconSlot kIconSlots[] = {
    {kIconExpanded, "wxART_FOLDER_OPEN"},
    {kIconCollapsed, "wxART_FOLDER"},
    {kIconLeaf, "wxART_NORMAL_FILE"},
};

int SlotOf(TreeIcon icon)
{
    for (int i = 0; i < int(std::size(kIconSlots)); ++i)
        if (kIconSlots[i].icon == icon)
            return i;
    return -1;
}

int IconSlotFor(bool hasChildren, bool expanded) { return SlotOf(NodeIcon(hasChildren, expanded)); }

}  // namespace

unsigned TreeHitFromWx(int flags, bool belowIsNowhere)
{
    unsigned hit = 0;
    if (flags & (wxTREE_HITTEST_NOWHERE | (belowIsNowhere ? wxTREE_HITTEST_BELOW : 0)))
        hit |= kHitNowhere;
    if (flags & wxTREE_HITTEST_ONITEMICON)
        hit |= kHitOnIcon;
    if (flags & wxTREE_HITTEST_ONITEMLABEL)
        hit |= kHitOnLabel;
    if (flags & wxTREE_HITTEST_ONITEMINDENT)
        hit |= kHitOnIndent;
    if (flags & wxTREE_HITTEST_ONITEMBUTTON)
        hit |= kHitOnButton;
    if (flags & wxTREE_HITTEST_ONITEMRIGHT)
        hit |= kHitOnRight;
    return hit;
}

wxImageList* EditorTreeView::MakeImageList()
{
    auto* list = new wxImageList(16, 16, true);
    for (const IconSlot& slot : kIconSlots)
        list->Add(wxArtProvider::GetBitmap(slot.art, wxART_OTHER, wxSize(16, 16)));
    return list;
}

EditorTreeView::EditorTreeView(wxTreeCtrl* tv, CollectionTree& model) : tv_(tv), items_(tv, model, IconSlotFor) {}

TreeNode* EditorTreeView::HitTest(const wxPoint& point, unsigned* hit) const
{
    int flags = 0;
    wxTreeItemId item = tv_->HitTest(point, flags);
    if (hit)
        *hit = TreeHitFromWx(flags);
    return NodeOf(item);
}

void EditorTreeView::ShowSelection()
{
    if (const wxTreeItemId item = tv_->GetSelection(); item.IsOk())
        tv_->EnsureVisible(item);
}

void EditorTreeView::ExpandAll(bool expand)
{
    // Expanding gives the children their items on the way.
    tv_->Freeze();
    const wxTreeItemId root = items_.RootItem();
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = tv_->GetFirstChild(root, cookie); c.IsOk(); c = tv_->GetNextChild(root, cookie)) {
        if (expand)
            tv_->ExpandAllChildren(c);
        else
            tv_->CollapseAllChildren(c);
    }
    tv_->Thaw();
}

void EditorTreeView::ExpandSubtree(const TreeNode* node, bool expand)
{
    const wxTreeItemId item = ItemOf(node);
    if (!item.IsOk())
        return;
    if (expand)
        tv_->ExpandAllChildren(item);
    else
        tv_->CollapseAllChildren(item);
}

}  // namespace ql
