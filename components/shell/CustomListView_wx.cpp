#include "components/shell/CustomListView_wx.h"

#include <wx/menu.h>
#include <wx/settings.h>

#include "components/shell/CustomTreeViewMenus.h"
#include "components/shell/KeyShortcut_wx.h"
#include "components/shell/ShellUtils.h"

namespace ql::shellctl {

TSvCustomListView::TSvCustomListView(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size,
                                     long style)
    : wxListCtrl(parent, id, pos, size, style)
{
    Bind(wxEVT_CONTEXT_MENU, &TSvCustomListView::OnContextMenu, this);
    Bind(wxEVT_KEY_DOWN, &TSvCustomListView::OnKeyDown, this);
}

TSvCustomListView::~TSvCustomListView() = default;

void TSvCustomListView::SetHeaderSortDisplayMode(TSvLvHeaderSortDisplayMode mode)
{
    if (mode == sortDisplay_)
        return;
    // Without the system's sort arrow the header shows none.
    sortDisplay_ = ComCtlVersion.dwFileVersionMS < kComCtlSortArrow ? svlvNone : mode;
    UpdateHeaderSortDisplay();
}

void TSvCustomListView::SetSortColumn(int column)
{
    if (column == sortColumn_)
        return;
    sortColumn_ = column;
    UpdateHeaderSortDisplay();
}

void TSvCustomListView::SetSortAscending(bool ascending)
{
    if (ascending == sortAscending_)
        return;
    sortAscending_ = ascending;
    UpdateHeaderSortDisplay();
}

void TSvCustomListView::UpdateHeaderSortDisplay()
{
    if (sortDisplay_ == svlvNone || sortColumn_ < 0 || sortColumn_ >= GetColumnCount())
        RemoveSortIndicator();
    else
        ShowSortIndicator(sortColumn_, sortAscending_);
}

TSvFont TSvCustomListView::ControlFont() const { return SvFontOf(GetFont(), GetForegroundColour()); }

std::unique_ptr<TSvCustomDraw> TSvCustomListView::CustomDrawItem(NMCUSTOMDRAW& record, std::uint32_t& answer)
{
    std::unique_ptr<TSvCustomDraw> cd;
    const long item = (record.dwDrawStage & CDDS_ITEM) ? static_cast<long>(record.dwItemSpec) : -1;
    if (OnItemCustomDrawEx) {
        cd = std::make_unique<TSvLvCustomDraw>(&record, ControlFont(), &answer);
        OnItemCustomDrawEx(*this, *cd, item);
    }
    if (OnItemCustomDraw && record.dwDrawStage == CDDS_ITEMPREPAINT) {
        if (!cd)
            cd = std::make_unique<TSvLvCustomDraw>(&record, ControlFont(), &answer);
        OnItemCustomDraw(*this, *cd, item);
    }
    if (cd)
        cd->Apply();
    if (record.dwDrawStage & 1)
        answer |= CDRF_NOTIFYITEMDRAW;
    return cd;
}

void TSvCustomListView::DrawItemLook(long index)
{
    const wxColour text = GetItemTextColour(index);
    const TSvItemLook look{GetFont(), text.IsOk() ? text : GetForegroundColour(), GetBackgroundColour()};
    NMCUSTOMDRAW record = ItemPrePaintRecord(static_cast<std::uintptr_t>(index), 0, look);
    std::uint32_t answer = 0;
    if (!CustomDrawItem(record, answer))
        return;
    const TSvItemLook chosen = ChosenLook(record, answer, look);
    SetItemTextColour(index, chosen.text);
    SetItemBackgroundColour(index, chosen.back);
    if (answer & CDRF_NEWFONT)
        SetItemFont(index, chosen.font);
}

// Context menus ---------------------------------------------------------------------------------

wxPoint TSvCustomListView::IconCentre(long item) const
{
    wxRect r;
    if (!const_cast<TSvCustomListView*>(this)->GetItemRect(item, r, wxLIST_RECT_ICON))
        return {0, 0};
    return {(r.GetLeft() + r.GetRight()) / 2, (r.GetTop() + r.GetBottom()) / 2};
}

void TSvCustomListView::KeyboardContextMenu(wxPoint pos)
{
    const long focused = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
    const long firstSelected = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (focused >= 0 && GetItemState(focused, wxLIST_STATE_SELECTED))
        pos = IconCentre(focused);
    else if (focused >= 0 && firstSelected >= 0)
        pos = IconCentre(firstSelected);
    else {
        if (ControlMenu) {
            ++menusShown_;
            PopupMenu(ControlMenu, pos);
        }
        return;
    }
    ItemContextMenu(pos);
}

void TSvCustomListView::ItemContextMenu(wxPoint pos)
{
    wxMenu* menu = ControlMenu;
    DoItemContextMenu(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED), pos, menu);
    if (menu) {
        ++menusShown_;
        PopupMenu(menu, pos);
    }
}

void TSvCustomListView::DoItemContextMenu(long item, wxPoint& pos, wxMenu*& menu)
{
    if (OnItemContextMenu)
        OnItemContextMenu(*this, item, pos, menu);
}

void TSvCustomListView::OnContextMenu(wxContextMenuEvent& event)
{
    // A right click, the menu key and Shift+F10 all arrive here; one request, one menu (a
    // request that comes while a menu is up belongs to that menu).
    if (inMenu_)
        return;
    const TScopedDepth up(inMenu_);
    wxPoint pos = event.GetPosition();
    KeyboardContextMenu(pos == wxDefaultPosition ? wxPoint(0, 0) : ScreenToClient(pos));
}

void TSvCustomListView::OnKeyDown(wxKeyEvent& event)
{
    if (!IsContextMenuKey(ShortCutOf(event))) {
        ListKeyDown(event);
        return;
    }
    wxContextMenuEvent request(wxEVT_CONTEXT_MENU, GetId(), wxDefaultPosition);
    request.SetEventObject(this);
    OnContextMenu(request);
}

}  // namespace ql::shellctl
