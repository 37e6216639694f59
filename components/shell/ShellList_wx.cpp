#include "components/shell/ShellList_wx.h"

#include <wx/app.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "components/shell/ControlLiveness_wx.h"
#include "components/shell/DeviceChangeHandler.h"
#include "components/shell/KeyShortcut_wx.h"
#include "components/shell/ShellControlsStartup_wx.h"
#include "components/shell/ShellIcons_wx.h"
#include "components/shell/ShellListKeys.h"
#include "components/shell/ShellScroll_wx.h"
#include "platform/core/ErrorLog.h"
#include "platform/gui/ShellMenu_wx.h"

namespace ql::shellctl {

TSvCustomShellList::TSvCustomShellList(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : TSvCustomListView(parent, id, pos, size, wxLC_REPORT | wxLC_EDIT_LABELS), shell_(*this)
{
    StartShellControls();
    // Small icons are the list's own, each with its item's overlay drawn in; large ones are the
    // system's (shared: never freed here).
    SetImageList(icons_.List(), wxIMAGE_LIST_SMALL);
    SetImageList(GetSystemImageList(1), wxIMAGE_LIST_NORMAL);
    shell_.ColumnRegistry = &columnData_;

    refreshTimer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Guard([&] { shell_.RefreshTimerFired(); }); });
    Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& e) { Guard([&] { shell_.ColumnClick(e.GetColumn()); }); });
    Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) { Guard([&] { shell_.OpenSelection(); }); });
    Bind(wxEVT_LIST_BEGIN_DRAG, [this](wxListEvent&) { Guard([&] { shell_.StartOleDrag(0); }); });
    Bind(wxEVT_LIST_BEGIN_RDRAG, [this](wxListEvent&) { Guard([&] { shell_.StartOleDrag(1); }); });
    Bind(wxEVT_LIST_BEGIN_LABEL_EDIT, [this](wxListEvent& e) {
        bool allowed = false;
        Guard([&] { allowed = shell_.CanEdit(static_cast<int>(e.GetIndex())); });
        if (allowed)
            editing_ = true;
        else
            e.Veto();
    });
    Bind(wxEVT_LIST_END_LABEL_EDIT, [this](wxListEvent& e) {
        editing_ = false;
        // The list sets the caption itself, from the renamed item.
        e.Veto();
        const int index = static_cast<int>(e.GetIndex());
        const std::string text = e.GetLabel().utf8_string();
        const bool cancelled = e.IsEditCancelled();
        // The edit control is still up while this runs: finish after it has gone.
        CallAfter([this, index, text, cancelled] {
            Guard([&] {
                if (cancelled)
                    shell_.LabelEditCancelled();
                else
                    shell_.EndLabelEdit(index, text);
            });
        });
    });
    RowsWindow()->Bind(wxEVT_MOUSEWHEEL, [this](wxMouseEvent& e) {
        // The toolkit gives the wheel to the control under the pointer, so no other shell
        // control needs it handed on; the notch scrolls this list by lines or pages.
        if (e.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || e.GetWheelRotation() == 0) {
            e.Skip();
            return;
        }
        // A list of columns scrolls sideways, the other views up and down.
        ScrollByWheelEvent(this, HasFlag(wxLC_LIST) ? 0 : 1, e);
    });
    Bind(wxEVT_MENU_HIGHLIGHT, [this](wxMenuEvent& e) {
        if (shell_.OnPopupHint)
            Guard([&] { shell_.OnPopupHint(shell_.MenuHint(e.GetMenuId(), e.GetMenuId() < 0)); });
    });
    DeviceChangeHandler().AddHandler(this, liveness_.WhileAlive([this](TSvDeviceChangeHandler&, TMessage& m) {
        Guard([&] { shell_.DeviceChanged(m); });
    }));

    shell_.WindowCreated();
    if (shell_.AutoFillWanted())
        CallAfter([this] { Guard([&] { shell_.FillIfEmpty(); }); });
}

TSvCustomShellList::~TSvCustomShellList()
{
    liveness_.End();
    DeviceChangeHandler().RemoveHandler(this);
    refreshTimer_.Stop();
    GuardHandler("shell list", [&] { shell_.WindowDestroying(); });
    SetImageList(nullptr, wxIMAGE_LIST_SMALL);
    StopShellControls();
}

void TSvCustomShellList::Guard(const std::function<void()>& step)
{
    GuardHandler("shell list", step, [this](const std::string& text) { ShowError(text); });
}

void TSvCustomShellList::ShowError(const std::string& text)
{
    if (OnError)
        OnError(text);
    else
        wxLogError("%s", wxString::FromUTF8(text));
}

// Custom draw and menus -------------------------------------------------------------------------

std::unique_ptr<TSvCustomDraw> TSvCustomShellList::CustomDrawItem(NMCUSTOMDRAW& record, std::uint32_t& answer)
{
    auto cd = std::make_unique<TSvLvCustomDraw>(&record, ControlFont(), &answer);
    const long item = (record.dwDrawStage & CDDS_ITEM) ? static_cast<long>(record.dwItemSpec) : -1;
    TSvShListData* data = shell_.ItemData(static_cast<int>(item));
    if (OnCustomDrawShEx)
        OnCustomDrawShEx(*this, *cd, item, data);
    if (OnCustomDrawSh && record.dwDrawStage == CDDS_ITEMPREPAINT)
        OnCustomDrawSh(*this, *cd, item, data);
    cd->Apply();
    if (record.dwDrawStage & 1)
        answer |= CDRF_NOTIFYITEMDRAW;
    return cd;
}

void TSvCustomShellList::DoItemContextMenu(long item, wxPoint& pos, wxMenu*& menu)
{
    TSvCustomListView::DoItemContextMenu(item, pos, menu);
    if ((shell_.Options() & svsloContextMenus) && !shell_.Dragging()) {
        Guard([&] { shell_.ShowShellContextMenu(pos.x, pos.y); });
        menu = nullptr;
    }
}

void TSvCustomShellList::ListKeyDown(wxKeyEvent& event)
{
    if (editing_) {
        event.Skip();
        return;
    }
    bool handled = false;
    const TShortCut shortcut = ShortCutOf(event);
    Guard([&] {
        // Backspace and Enter act as characters, and only without modifiers.
        if (shortcut == kKeyBack || shortcut == kKeyReturn)
            handled = shell_.KeyChar(shortcut);
        else if (shortcut != 0 && (shortcut & 0xFF) != kKeyBack && (shortcut & 0xFF) != kKeyReturn)
            handled = shell_.KeyDown(shortcut);
    });
    if (!handled)
        event.Skip();
}

int TSvCustomShellList::TrackMenu(const shell::PopupMenu& menu, int x, int y)
{
    return shell::TrackShellPopupMenu(this, menu, wxPoint(x, y));
}

// Items -----------------------------------------------------------------------------------------

void TSvCustomShellList::BeginUpdate() { updates_.Begin(); }

void TSvCustomShellList::EndUpdate() { updates_.End(); }

void TSvCustomShellList::ClearItems()
{
    DeleteAllItems();
    dropHighlight_ = -1;
}

void TSvCustomShellList::SetItemTexts(int index)
{
    TSvShListData* data = shell_.ItemData(index);
    const int image = data ? icons_.ImageFor(GetIconIndex(data->AbsoluteIdList(), shell::SHGFI_SMALLICON),
                                             shell_.ItemOverlay(index))
                           : -1;
    SetItem(index, 0, wxString::FromUTF8(shell_.ItemText(index, 0)), image);
    for (int column = 1; column < GetColumnCount(); ++column)
        SetItem(index, column, wxString::FromUTF8(shell_.ItemText(index, column)));
    // Hidden items are drawn dimmed.
    SetItemTextColour(index, shell_.ItemHidden(index) ? wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT)
                                                      : GetForegroundColour());
    DrawItemLook(index);
}

void TSvCustomShellList::InsertItem(int index)
{
    wxListCtrl::InsertItem(index, wxString());
    SetItemTexts(index);
}

void TSvCustomShellList::DeleteItem(int index)
{
    wxListCtrl::DeleteItem(index);
    if (dropHighlight_ == index)
        dropHighlight_ = -1;
    else if (dropHighlight_ > index)
        --dropHighlight_;
}

void TSvCustomShellList::UpdateItem(int index) { SetItemTexts(index); }

void TSvCustomShellList::ReorderItems(const std::vector<int>& newIndexOf)
{
    // The toolkit's sort drops selection and focus: both are put back on their items.
    const int focused = FocusedIndex();
    const std::vector<int> selected = SelectedIndices();
    for (long i = 0; i < GetItemCount(); ++i)
        SetItemData(i, i);
    SortItems(
        [](wxIntPtr a, wxIntPtr b, wxIntPtr order) -> int {
            const auto& to = *reinterpret_cast<const std::vector<int>*>(order);
            return to[static_cast<std::size_t>(a)] - to[static_cast<std::size_t>(b)];
        },
        reinterpret_cast<wxIntPtr>(&newIndexOf));
    for (int i : selected)
        SetItemState(newIndexOf[static_cast<std::size_t>(i)], wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    if (focused >= 0 && static_cast<std::size_t>(focused) < newIndexOf.size())
        SetFocusedIndex(newIndexOf[static_cast<std::size_t>(focused)]);
}

std::vector<int> TSvCustomShellList::SelectedIndices() const
{
    std::vector<int> out;
    for (long i = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i >= 0;
         i = GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        out.push_back(static_cast<int>(i));
    return out;
}

int TSvCustomShellList::FocusedIndex() const
{
    return static_cast<int>(GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED));
}

void TSvCustomShellList::SetFocusedIndex(int index)
{
    if (index >= 0 && index < GetItemCount())
        SetItemState(index, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
}

void TSvCustomShellList::SelectAllItems()
{
    for (long i = 0; i < GetItemCount(); ++i)
        SetItemState(i, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
}

void TSvCustomShellList::SetColumns(const std::vector<ListColumn>& columns)
{
    DeleteAllColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ListColumn& c = columns[i];
        const wxListColumnFormat format = c.align == ColumnAlign::Right    ? wxLIST_FORMAT_RIGHT
                                          : c.align == ColumnAlign::Center ? wxLIST_FORMAT_CENTRE
                                                                           : wxLIST_FORMAT_LEFT;
        InsertColumn(static_cast<long>(i), wxString::FromUTF8(c.caption), format, c.width);
    }
}

std::vector<int> TSvCustomShellList::ColumnWidths() const
{
    std::vector<int> widths;
    for (int i = 0; i < GetColumnCount(); ++i)
        widths.push_back(GetColumnWidth(i));
    return widths;
}

void TSvCustomShellList::ShowSortMark(int column, bool ascending)
{
    SetSortAscending(ascending);
    SetSortColumn(column);
}

void TSvCustomShellList::EditLabel(int index)
{
    SetFocus();
    wxListCtrl::EditLabel(index);
}

bool TSvCustomShellList::HasFocus() const { return FocusWithin(*this); }

void TSvCustomShellList::SetBusy(bool busy) { busy_.Set(busy); }

TChangeHandlerThread::Poster TSvCustomShellList::ChangePoster()
{
    return GuiThreadPoster(liveness_, [this] { Guard([&] { shell_.ChangeNotification(); }); });
}

// Drag and drop ---------------------------------------------------------------------------------

int TSvCustomShellList::ItemAtScreen(com::POINTL pt) const
{
    wxPoint p = RowsWindow()->ScreenToClient(wxPoint(pt.x, pt.y));
    int flags = 0;
    long item = const_cast<TSvCustomShellList*>(this)->HitTest(p, flags);
    return (flags & wxLIST_HITTEST_ONITEM) ? static_cast<int>(item) : -1;
}

void TSvCustomShellList::SetDropHighlight(int index)
{
    if (index == dropHighlight_)
        return;
    if (dropHighlight_ >= 0 && dropHighlight_ < GetItemCount())
        SetItemState(dropHighlight_, 0, wxLIST_STATE_DROPHILITED);
    dropHighlight_ = index;
    if (index >= 0 && index < GetItemCount())
        SetItemState(index, wxLIST_STATE_DROPHILITED, wxLIST_STATE_DROPHILITED);
}

}  // namespace ql::shellctl
