#include "components/shell/ShellList_wx.h"

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/dcmemory.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <chrono>
#include <exception>

#include "components/shell/DeviceChangeHandler.h"
#include "platform/gui/DragBridge_wx.h"

namespace ql::shellctl {

namespace {

enum Image { kFile, kFolder, kFileLink, kFolderLink, kFileShared, kFolderShared };

// The shortcut arrow or the share hand, drawn into the lower left corner of an icon.
wxBitmap WithOverlay(const wxBitmap& icon, bool share)
{
    wxImage image = icon.ConvertToImage();
    if (!image.HasAlpha())
        image.InitAlpha();
    const wxColour ink = share ? wxColour(40, 90, 200) : wxColour(20, 20, 20);
    auto put = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < image.GetWidth() && y < image.GetHeight()) {
            image.SetRGB(x, y, ink.Red(), ink.Green(), ink.Blue());
            image.SetAlpha(x, y, 255);
        }
    };
    const int h = image.GetHeight();
    for (int i = 0; i < 6; ++i) {
        put(i, h - 1 - i);  // the arrow's shaft, up to the right
        if (share)
            put(i, h - 1);
    }
    for (int i = 0; i < 3; ++i) {
        put(5 - i, h - 6);
        put(5, h - 6 + i);
    }
    return wxBitmap(image);
}

// The shell controls' device changes and posts reach the GUI thread through the application.
void InstallGuiPoster()
{
    static const bool installed = [] {
        InstallDeviceChangePoster([](std::function<void()> f) {
            if (wxTheApp)
                wxTheApp->CallAfter(std::move(f));
        });
        return true;
    }();
    (void)installed;
}

int VirtualKey(const wxKeyEvent& event)
{
    const int code = event.GetKeyCode();
    if (code >= 'a' && code <= 'z')
        return code - 'a' + 'A';
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return code;
    if (code >= WXK_F1 && code <= WXK_F24)
        return 0x70 + (code - WXK_F1);
    switch (code) {
    case WXK_DELETE: return 0x2E;
    case WXK_INSERT: return 0x2D;
    case WXK_BACK: return 0x08;
    case WXK_RETURN: return 0x0D;
    default: return 0;
    }
}

wxMenu* BuildMenu(const shell::PopupMenu& source)
{
    auto* menu = new wxMenu;
    for (std::size_t i = 0; i < source.Count(); ++i) {
        const shell::PopupMenu::Item& item = source.At(i);
        if (item.flags & shell::MF_SEPARATOR) {
            menu->AppendSeparator();
            continue;
        }
        wxString text = wxString::FromUTF8(item.text);
        if (item.submenu) {
            menu->AppendSubMenu(BuildMenu(*item.submenu), text);
            continue;
        }
        wxMenuItem* added = menu->Append(item.id, text);
        if (item.flags & shell::MF_GRAYED)
            added->Enable(false);
    }
    return menu;
}

}  // namespace

TSvCustomShellList::TSvCustomShellList(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : TSvCustomListView(parent, id, pos, size, wxLC_REPORT | wxLC_EDIT_LABELS),
      alive_(std::make_shared<Liveness>(Liveness{this})),
      shell_(*this)
{
    InstallGuiPoster();
    const wxSize s(16, 16);
    const wxBitmap file = wxArtProvider::GetBitmap(wxART_NORMAL_FILE, wxART_LIST, s);
    const wxBitmap folder = wxArtProvider::GetBitmap(wxART_FOLDER, wxART_LIST, s);
    images_.Add(file);
    images_.Add(folder);
    images_.Add(WithOverlay(file, false));
    images_.Add(WithOverlay(folder, false));
    images_.Add(WithOverlay(file, true));
    images_.Add(WithOverlay(folder, true));
    SetImageList(&images_, wxIMAGE_LIST_SMALL);

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
    DeviceChangeHandler().AddHandler(this, [weak = std::weak_ptr<Liveness>(alive_)](TSvDeviceChangeHandler&,
                                                                                     TMessage& m) {
        if (auto alive = weak.lock(); alive && alive->list)
            alive->list->Guard([&] { alive->list->shell_.DeviceChanged(m); });
    });

    shell_.WindowCreated();
    if (shell_.AutoFillWanted())
        CallAfter([this] { Guard([&] { shell_.FillIfEmpty(); }); });
}

TSvCustomShellList::~TSvCustomShellList()
{
    alive_->list = nullptr;
    DeviceChangeHandler().RemoveHandler(this);
    refreshTimer_.Stop();
    try {
        shell_.WindowDestroying();
    } catch (const std::exception&) {
    }
    SetImageList(nullptr, wxIMAGE_LIST_SMALL);
}

template <class F>
void TSvCustomShellList::Guard(F&& f)
{
    // Nothing of the list's own raises past a toolkit event.
    try {
        f();
    } catch (const std::exception& e) {
        ShowError(e.what());
    } catch (...) {
        ShowError("Unknown error");
    }
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
    const int key = VirtualKey(event);
    Guard([&] {
        if (key == 0x08 || key == 0x0D) {
            handled = event.GetModifiers() == wxMOD_NONE && shell_.KeyChar(key);
            return;
        }
        if (key == 0)
            return;
        TShortCut shortcut = static_cast<TShortCut>(key);
        if (event.ShiftDown())
            shortcut |= scShift;
        if (event.ControlDown())
            shortcut |= scCtrl;
        if (event.AltDown())
            shortcut |= scAlt;
        handled = shell_.KeyDown(shortcut);
    });
    if (!handled)
        event.Skip();
}

int TSvCustomShellList::TrackMenu(const shell::PopupMenu& menu, int x, int y)
{
    std::unique_ptr<wxMenu> shown(BuildMenu(menu));
    const int id = GetPopupMenuSelectionFromUser(*shown, wxPoint(x, y));
    return id == wxID_NONE ? 0 : id;
}

// Items -----------------------------------------------------------------------------------------

void TSvCustomShellList::BeginUpdate()
{
    if (updateDepth_++ == 0)
        Freeze();
}

void TSvCustomShellList::EndUpdate()
{
    if (updateDepth_ > 0 && --updateDepth_ == 0)
        Thaw();
}

void TSvCustomShellList::ClearItems()
{
    DeleteAllItems();
    dropHighlight_ = -1;
}

int TSvCustomShellList::ImageOf(const ShellItemLook& look) const
{
    if (look.shared)
        return look.folder ? kFolderShared : kFileShared;
    if (look.link)
        return look.folder ? kFolderLink : kFileLink;
    return look.folder ? kFolder : kFile;
}

void TSvCustomShellList::SetItemTexts(int index)
{
    const ShellItemLook look = shell_.ItemLook(index);
    SetItem(index, 0, wxString::FromUTF8(shell_.ItemText(index, 0)), ImageOf(look));
    for (int column = 1; column < GetColumnCount(); ++column)
        SetItem(index, column, wxString::FromUTF8(shell_.ItemText(index, column)));
    // Hidden items are drawn dimmed.
    SetItemTextColour(index, look.hidden ? wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT) : GetForegroundColour());
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
    for (long i = 0; i < GetItemCount(); ++i)
        SetItemData(i, i);
    SortItems(
        [](wxIntPtr a, wxIntPtr b, wxIntPtr order) -> int {
            const auto& to = *reinterpret_cast<const std::vector<int>*>(order);
            return to[static_cast<std::size_t>(a)] - to[static_cast<std::size_t>(b)];
        },
        reinterpret_cast<wxIntPtr>(&newIndexOf));
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

bool TSvCustomShellList::HasFocus() const
{
    const wxWindow* focus = wxWindow::FindFocus();
    return focus && (focus == this || focus->GetParent() == this);
}

void TSvCustomShellList::SetBusy(bool busy)
{
    if (busy) {
        if (busyDepth_++ == 0)
            wxBeginBusyCursor();
    } else if (busyDepth_ > 0 && --busyDepth_ == 0) {
        wxEndBusyCursor();
    }
}

TChangeHandlerThread::Poster TSvCustomShellList::ChangePoster()
{
    std::weak_ptr<Liveness> weak = alive_;
    return [weak](std::uint32_t, int) {
        // On the watching thread: only queue; the list is looked at on the GUI thread.
        if (!wxTheApp)
            return;
        wxTheApp->CallAfter([weak] {
            if (auto alive = weak.lock(); alive && alive->list)
                alive->list->Guard([&] { alive->list->shell_.ChangeNotification(); });
        });
    };
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

void TSvCustomShellList::ClientGeometry(com::POINTL pt, int& x, int& y, int& width, int& height) const
{
    wxPoint p = RowsWindow()->ScreenToClient(wxPoint(pt.x, pt.y));
    x = p.x;
    y = p.y;
    RowsWindow()->GetClientSize(&width, &height);
}

void TSvCustomShellList::ScrollOneStep(int dx, int dy)
{
    wxRect row;
    int lineHeight = 16;
    if (GetItemCount() > 0 && GetItemRect(0, row))
        lineHeight = row.GetHeight();
    ScrollList(dx * 16, dy * lineHeight);
}

void TSvCustomShellList::RepaintNow()
{
    Refresh();
    Update();
}

std::uint32_t TSvCustomShellList::TickCount() const
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

com::HRESULT TSvCustomShellList::DoDragDrop(com::IDataObject* data, com::IDropSource* source, com::DWORD okEffects,
                                           com::DWORD* effect)
{
    return ql::DoDragDrop(data, source, okEffects, effect, RowsWindow());
}

bool TSvCustomShellList::RegisterDropTarget(com::IDropTarget* target)
{
    return ql::RegisterDragDrop(RowsWindow(), target) == com::S_OK;
}

void TSvCustomShellList::RevokeDropTarget() { ql::RevokeDragDrop(RowsWindow()); }

}  // namespace ql::shellctl
