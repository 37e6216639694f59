#include "components/shell/CustomTreeView_wx.h"

#include <wx/menu.h>

#include "components/shell/KeyShortcut_wx.h"
#include "platform/core/ErrorLog.h"

namespace ql::shellctl {

namespace {

// Drawing runs from the toolkit's events: nothing of a handler's raises past them. A box for
// each drawing that fails would stand in front of the drawing: the failure is logged.
template <class F>
void Logged(F&& f)
{
    GuardHandler("tree view", std::forward<F>(f));
}

}  // namespace

TSvCustomTreeView::TSvCustomTreeView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                     long style)
    : wxTreeCtrl(parent, id, pos, size, style)
{
    LinkHandlers(true);
}

TSvCustomTreeView::~TSvCustomTreeView()
{
    DestroyNodes();
    // The toolkit's own teardown below (focus leaving, the pointer leaving) reaches nothing of
    // this class.
    LinkHandlers(false);
}

void TSvCustomTreeView::LinkHandlers(bool on)
{
    auto link = [&](const auto& type, auto handler) {
        if (on)
            Bind(type, handler, this);
        else
            Unbind(type, handler, this);
    };
    link(wxEVT_KEY_DOWN, &TSvCustomTreeView::OnKeyDown);
    link(wxEVT_CONTEXT_MENU, &TSvCustomTreeView::OnContextMenu);
    link(wxEVT_TREE_ITEM_RIGHT_CLICK, &TSvCustomTreeView::OnRightClick);
    link(wxEVT_RIGHT_DOWN, &TSvCustomTreeView::OnRightButton);
    link(wxEVT_RIGHT_UP, &TSvCustomTreeView::OnRightButton);
    link(wxEVT_TREE_SEL_CHANGED, &TSvCustomTreeView::OnSelectionChanged);
    link(wxEVT_MOTION, &TSvCustomTreeView::OnMouseMove);
    link(wxEVT_LEAVE_WINDOW, &TSvCustomTreeView::OnMouseMove);
    link(wxEVT_SET_FOCUS, &TSvCustomTreeView::OnFocus);
    link(wxEVT_KILL_FOCUS, &TSvCustomTreeView::OnFocus);
}

void TSvCustomTreeView::OnRightClick(wxTreeEvent& event)
{
    // Taken here, the click raises no desktop request of its own.
    const wxPoint at = event.GetPoint();
    menus_.RightClick(NodeOf(event.GetItem()), {at.x, at.y});
}

void TSvCustomTreeView::OnRightButton(wxMouseEvent& event)
{
    menus_.RightButton();
    event.Skip();
}

void TSvCustomTreeView::OnSelectionChanged(wxTreeEvent& event)
{
    Logged([&] {
        DrawItemLook(event.GetOldItem());
        DrawItemLook(event.GetItem());
    });
    event.Skip();
}

void TSvCustomTreeView::OnMouseMove(wxMouseEvent& event)
{
    wxTreeItemId hot;
    if (!event.Leaving()) {
        int flags = 0;
        const wxTreeItemId item = HitTest(event.GetPosition(), flags);
        if (item.IsOk() && (flags & wxTREE_HITTEST_ONITEM))
            hot = item;
    }
    SetHot(hot);
    event.Skip();
}

void TSvCustomTreeView::OnFocus(wxFocusEvent& event)
{
    // The focused node is drawn with the control's focus.
    const wxTreeItemId focused = GetFocusedItem();
    Logged([&] { DrawItemLook(focused); });
    event.Skip();
}

// Custom draw ----------------------------------------------------------------------------------

std::unique_ptr<TSvCustomDraw> TSvCustomTreeView::CreateCustomDraw(NMCUSTOMDRAW& record, std::uint32_t& answer)
{
    auto cd = std::make_unique<TSvTvCustomDraw>(&record, SvFontOf(GetFont(), GetForegroundColour()), &answer);
    cd->NotifyItemDraw = true;
    return cd;
}

std::unique_ptr<TSvCustomDraw> TSvCustomTreeView::CustomDrawItem(NMCUSTOMDRAW& record, std::uint32_t& answer)
{
    const wxTreeItemId node = (record.dwDrawStage & CDDS_ITEM) ? ItemOf(reinterpret_cast<TTreeNode>(record.dwItemSpec))
                                                               : wxTreeItemId();
    TSvTvCustomDrawEvents events;
    events.create = [&] { return CreateCustomDraw(record, answer); };
    if (OnItemCustomDrawEx)
        events.everyStage = [&](TSvCustomDraw& cd) { OnItemCustomDrawEx(*this, cd, node); };
    if (OnItemCustomDraw)
        events.itemPrePaint = [&](TSvCustomDraw& cd) { OnItemCustomDraw(*this, cd, node); };
    return TvCustomDrawStep(record, answer, events);
}

void TSvCustomTreeView::DrawItemLook(const wxTreeItemId& item)
{
    // A handler that changes the node it is drawing does not draw it again from inside.
    if (!item.IsOk() || drawing_ > 0)
        return;
    OwnLook own;
    if (auto it = ownLook_.find(NodeOf(item)); it != ownLook_.end())
        own = it->second;
    const TSvItemLook look{own.font.IsOk() ? own.font : GetFont(), own.text.IsOk() ? own.text : GetForegroundColour(),
                           own.back.IsOk() ? own.back : GetBackgroundColour()};
    std::uint32_t state = 0;
    if (IsSelected(item))
        state |= CDIS_SELECTED;
    if (item == GetFocusedItem() && HasFocus())
        state |= CDIS_FOCUS;
    if (item == hot_)
        state |= CDIS_HOT;
    NMCUSTOMDRAW record = ItemPrePaintRecord(reinterpret_cast<std::uintptr_t>(NodeOf(item)), state, look);
    std::uint32_t answer = 0;
    std::unique_ptr<TSvCustomDraw> cd;
    {
        const TScopedDepth drawing(drawing_);
        cd = CustomDrawItem(record, answer);
    }
    // What the drawing left alone shows as the node's own look.
    OwnLook shown = own;
    if (cd) {
        const TSvItemLook chosen = ChosenLook(record, answer, look);
        if (record.clrText != record.textColor)
            shown.text = chosen.text;
        if (record.clrTextBk != record.bkColor)
            shown.back = chosen.back;
        if (answer & CDRF_NEWFONT)
            shown.font = chosen.font;
    }
    // Only what differs: each change repaints the node.
    if (wxTreeCtrl::GetItemTextColour(item) != shown.text)
        wxTreeCtrl::SetItemTextColour(item, shown.text);
    if (wxTreeCtrl::GetItemBackgroundColour(item) != shown.back)
        wxTreeCtrl::SetItemBackgroundColour(item, shown.back);
    if (!(wxTreeCtrl::GetItemFont(item) == shown.font))
        wxTreeCtrl::SetItemFont(item, shown.font);
}

void TSvCustomTreeView::DrawAllItemLooks()
{
    Logged([&] {
        ForEachNode(GetRootItem(), !HasFlag(wxTR_HIDE_ROOT), [this](const wxTreeItemId& item) { DrawItemLook(item); });
    });
}

bool TSvCustomTreeView::SetFont(const wxFont& font)
{
    const bool changed = wxTreeCtrl::SetFont(font);
    DrawAllItemLooks();
    return changed;
}

bool TSvCustomTreeView::SetForegroundColour(const wxColour& colour)
{
    const bool changed = wxTreeCtrl::SetForegroundColour(colour);
    DrawAllItemLooks();
    return changed;
}

bool TSvCustomTreeView::SetBackgroundColour(const wxColour& colour)
{
    const bool changed = wxTreeCtrl::SetBackgroundColour(colour);
    DrawAllItemLooks();
    return changed;
}

void TSvCustomTreeView::SetHot(const wxTreeItemId& item)
{
    if (item == hot_)
        return;
    const wxTreeItemId old = hot_;
    hot_ = item;
    Logged([&] {
        DrawItemLook(old);
        DrawItemLook(item);
    });
}

void TSvCustomTreeView::SetItemTextColour(const wxTreeItemId& item, const wxColour& colour)
{
    ownLook_[NodeOf(item)].text = colour;
    wxTreeCtrl::SetItemTextColour(item, colour);
    DrawItemLook(item);
}

void TSvCustomTreeView::SetItemBackgroundColour(const wxTreeItemId& item, const wxColour& colour)
{
    ownLook_[NodeOf(item)].back = colour;
    wxTreeCtrl::SetItemBackgroundColour(item, colour);
    DrawItemLook(item);
}

void TSvCustomTreeView::SetItemFont(const wxTreeItemId& item, const wxFont& font)
{
    ownLook_[NodeOf(item)].font = font;
    wxTreeCtrl::SetItemFont(item, font);
    DrawItemLook(item);
}

void TSvCustomTreeView::SetItemText(const wxTreeItemId& item, const wxString& text)
{
    wxTreeCtrl::SetItemText(item, text);
    DrawItemLook(item);
}

void TSvCustomTreeView::SetItemImage(const wxTreeItemId& item, int image, wxTreeItemIcon which)
{
    wxTreeCtrl::SetItemImage(item, image, which);
    DrawItemLook(item);
}

void TSvCustomTreeView::SetItemData(const wxTreeItemId& item, wxTreeItemData* data)
{
    wxTreeCtrl::SetItemData(item, data);
    DrawItemLook(item);
}

void TSvCustomTreeView::SetItemBold(const wxTreeItemId& item, bool bold)
{
    wxTreeCtrl::SetItemBold(item, bold);
    DrawItemLook(item);
}

wxTreeItemId TSvCustomTreeView::DoInsertItem(const wxTreeItemId& parent, size_t pos, const wxString& text, int image,
                                             int selectedImage, wxTreeItemData* data)
{
    const wxTreeItemId item = wxTreeCtrl::DoInsertItem(parent, pos, text, image, selectedImage, data);
    DrawItemLook(item);
    return item;
}

wxTreeItemId TSvCustomTreeView::DoInsertAfter(const wxTreeItemId& parent, const wxTreeItemId& after,
                                              const wxString& text, int image, int selectedImage, wxTreeItemData* data)
{
    const wxTreeItemId item = wxTreeCtrl::DoInsertAfter(parent, after, text, image, selectedImage, data);
    DrawItemLook(item);
    return item;
}

// Deletion -------------------------------------------------------------------------------------

void TSvCustomTreeView::ForEachNode(const wxTreeItemId& item, bool withItem,
                                    const std::function<void(const wxTreeItemId&)>& visit)
{
    if (!item.IsOk())
        return;
    auto firstChild = [this](TTreeNode node) -> TTreeNode {
        wxTreeItemIdValue cookie;
        const wxTreeItemId child = GetFirstChild(ItemOf(node), cookie);
        return child.IsOk() ? NodeOf(child) : nullptr;
    };
    auto nextSibling = [this](TTreeNode node) -> TTreeNode {
        const wxTreeItemId next = GetNextSibling(ItemOf(node));
        return next.IsOk() ? NodeOf(next) : nullptr;
    };
    ForEachLeafFirst(firstChild(NodeOf(item)), firstChild, nextSibling, [&](TTreeNode node) { visit(ItemOf(node)); });
    if (withItem)
        visit(item);
}

void TSvCustomTreeView::ReleaseNodes(const wxTreeItemId& item, bool withItem)
{
    ForEachNode(item, withItem, [this](const wxTreeItemId& node) {
        ownLook_.erase(NodeOf(node));
        if (node == hot_)
            hot_ = wxTreeItemId();
        NodeDeletion(node);
    });
}

template <class F>
void TSvCustomTreeView::Deleting(const wxTreeItemId& item, bool withItem, F&& deleteInToolkit)
{
    // The toolkit's deletions may call each other (all items through the root's Delete): the
    // nodes were released by the outermost one.
    if (!inDeletion_)
        ReleaseNodes(item, withItem);
    const TScopedDepth deleting(inDeletion_);
    deleteInToolkit();
}

void TSvCustomTreeView::Delete(const wxTreeItemId& item)
{
    Deleting(item, true, [&] { wxTreeCtrl::Delete(item); });
}

void TSvCustomTreeView::DeleteChildren(const wxTreeItemId& item)
{
    Deleting(item, false, [&] { wxTreeCtrl::DeleteChildren(item); });
}

void TSvCustomTreeView::DeleteAllItems()
{
    Deleting(GetRootItem(), true, [&] { wxTreeCtrl::DeleteAllItems(); });
}

void TSvCustomTreeView::DestroyNodes()
{
    if (GetRootItem().IsOk())
        DeleteAllItems();
}

// Context menus --------------------------------------------------------------------------------

void TSvCustomTreeView::DoItemContextMenu(const wxTreeItemId& node, wxPoint& pos, wxMenu*& menu)
{
    if (OnItemContextMenu)
        OnItemContextMenu(*this, node, pos, menu);
}

void TSvCustomTreeView::ItemContextMenu(const wxTreeItemId& node, wxPoint pos)
{
    menus_.ItemContextMenu(NodeOf(node), {pos.x, pos.y});
}

void TSvCustomTreeView::ChooseItemMenu(TTreeNode node, TvPoint& pos, wxMenu*& menu)
{
    wxPoint at(pos.x, pos.y);
    DoItemContextMenu(ItemOf(node), at, menu);
    pos = {at.x, at.y};
}

void TSvCustomTreeView::ShowMenu(wxMenu& menu, TvPoint at) { PopupMenu(&menu, wxPoint(at.x, at.y)); }

TTreeNode TSvCustomTreeView::SelectedNode() const
{
    const wxTreeItemId item = HasFlag(wxTR_MULTIPLE) ? GetFocusedItem() : GetSelection();
    if (!item.IsOk() || (item == GetRootItem() && HasFlag(wxTR_HIDE_ROOT)))
        return nullptr;
    return NodeOf(item);
}

TvRect TSvCustomTreeView::NodeTextRect(TTreeNode node) const
{
    wxRect r;
    if (!GetBoundingRect(ItemOf(node), r, true))
        return {};
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

void TSvCustomTreeView::OnContextMenu(wxContextMenuEvent& event)
{
    const wxPoint pos = event.GetPosition();
    const bool fromKeyboard = pos == wxDefaultPosition;
    const wxPoint at = fromKeyboard ? wxPoint(0, 0) : ScreenToClient(pos);
    menus_.ContextRequest(fromKeyboard, {at.x, at.y});
}

void TSvCustomTreeView::OnKeyDown(wxKeyEvent& event)
{
    if (!menus_.KeyDown(ShortCutOf(event)))
        TreeKeyDown(event);
}

}  // namespace ql::shellctl
