#pragma once
// The shell list control: a folder's contents as a live report list. The editor's images
// panel is one (`ImageList`), shown with its default options; the folder is set with
// Folder().SetPath(path) and the list follows it, and the folder's changes on disk, by itself.
#include <functional>
#include <memory>

#include <wx/timer.h>

#include "components/shell/ControlLiveness.h"
#include "components/shell/ControlState_wx.h"
#include "components/shell/CustomListView_wx.h"
#include "components/shell/ShellDragPort_wx.h"
#include "components/shell/ShellIcons_wx.h"
#include "components/shell/ShellListController.h"
#include "platform/core/Registry.h"

namespace ql::shellctl {

class TSvCustomShellList : public TSvCustomListView, private ShellListView {
public:
    TSvCustomShellList(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                       const wxSize& size = wxDefaultSize);
    ~TSvCustomShellList() override;

    TSvShellLocator& Folder() { return shell_.Folder; }
    TSvShellListOptions Options() const { return shell_.Options(); }
    void SetOptions(TSvShellListOptions options)
    {
        Guard([&] { shell_.SetOptions(options); });
    }
    const std::string& FileFilter() const { return shell_.FileFilter(); }
    void SetFileFilter(const std::string& filter)
    {
        Guard([&] { shell_.SetFileFilter(filter); });
    }
    void RefillList()
    {
        Guard([&] { shell_.RefillList(); });
    }
    void RefreshList()
    {
        Guard([&] { shell_.RefreshList(); });
    }
    // The decisions behind the control, with their events (OnAddItem, OnFolderChanged ...).
    ShellListController& Shell() { return shell_; }

    // (sender, draw object, item, its shell data or nil) at every stage / at item prepaint.
    std::function<void(TSvCustomShellList&, TSvCustomDraw&, long, TSvShListData*)> OnCustomDrawShEx, OnCustomDrawSh;
    // Errors of the user's commands go here; unset, they are logged.
    std::function<void(const std::string&)> OnError;

protected:
    std::unique_ptr<TSvCustomDraw> CustomDrawItem(NMCUSTOMDRAW& record, std::uint32_t& answer) override;
    void DoItemContextMenu(long item, wxPoint& pos, wxMenu*& menu) override;
    void ListKeyDown(wxKeyEvent& event) override;

private:
    // Runs a step of the list; nothing of it raises past a toolkit event.
    void Guard(const std::function<void()>& step);

    // ShellListView
    void BeginUpdate() override;
    void EndUpdate() override;
    void ClearItems() override;
    void InsertItem(int index) override;
    void DeleteItem(int index) override;
    void UpdateItem(int index) override;
    void ReorderItems(const std::vector<int>& newIndexOf) override;
    std::vector<int> SelectedIndices() const override;
    int FocusedIndex() const override;
    void SetFocusedIndex(int index) override;
    void SelectAllItems() override;
    void SetColumns(const std::vector<ListColumn>& columns) override;
    std::vector<int> ColumnWidths() const override;
    void ShowSortMark(int column, bool ascending) override;
    bool IsEditingLabel() const override { return editing_; }
    void EditLabel(int index) override;
    bool HasFocus() const override;
    void SetBusy(bool busy) override;
    void StartRefreshTimer(int milliseconds) override { refreshTimer_.Start(milliseconds, wxTIMER_ONE_SHOT); }
    void StopRefreshTimer() override { refreshTimer_.Stop(); }
    bool RefreshTimerRunning() const override { return refreshTimer_.IsRunning(); }
    TChangeHandlerThread::Poster ChangePoster() override;
    void ShowError(const std::string& text) override;
    int TrackMenu(const shell::PopupMenu& menu, int x, int y) override;
    int ItemAtScreen(com::POINTL pt) const override;
    int DropHighlight() const override { return dropHighlight_; }
    void SetDropHighlight(int index) override;
    ShellDragPort& DragPort() override { return dragPort_; }

    void SetItemTexts(int index);

    // Posts from the watching thread and device changes reach the list only while it lives.
    TControlLiveness liveness_;
    wxTimer refreshTimer_;
    bool editing_ = false;
    int dropHighlight_ = -1;
    NestedFreeze updates_{*this};
    NestedBusyCursor busy_;
    OverlaidIcons icons_;
    Registry columnData_;                               // the user's registry: the file manager's "DirectoryCols"
    TShellDragPort_wx dragPort_{*this, *RowsWindow()};  // drops, hits and drags are the rows window's
    ShellListController shell_;                         // last: it talks to the members above until it is gone
};

// The published form; it adds nothing.
class TSvShellList : public TSvCustomShellList {
public:
    using TSvCustomShellList::TSvCustomShellList;
};

}  // namespace ql::shellctl
