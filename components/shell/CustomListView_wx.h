#pragma once
// The list view the shell list stands on: a report list whose header marks the sort column
// with the toolkit's own sort arrow, one context menu per request with a handler that may
// change or drop the menu, and per-item custom draw through TSvCustomDraw.
#include <functional>
#include <memory>

#include <wx/listctrl.h>

#include "components/shell/CustomDraw.h"
#include "components/shell/CustomDrawLook_wx.h"

class wxMenu;

namespace ql::shellctl {

// Where the header shows the sort arrow. The toolkit draws its indicator at the right edge of
// the column, so svlvLeftAlign and svlvRightOfText show it there as well; svlvNone shows none.
enum TSvLvHeaderSortDisplayMode { svlvNone, svlvLeftAlign, svlvRightOfText, svlvRightAlign };

class TSvCustomListView : public wxListCtrl {
public:
    TSvCustomListView(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                      const wxSize& size = wxDefaultSize, long style = wxLC_REPORT);
    ~TSvCustomListView() override;

    // (sender, item or -1, position in client coordinates, menu): the handler may move the
    // position or change the menu; nullptr shows none.
    std::function<void(TSvCustomListView&, long item, wxPoint& pos, wxMenu*& menu)> OnItemContextMenu;
    std::function<void(TSvCustomListView&, TSvCustomDraw& cd, long item)> OnItemCustomDraw;    // item prepaint
    std::function<void(TSvCustomListView&, TSvCustomDraw& cd, long item)> OnItemCustomDrawEx;  // every stage

    // The control's own menu (not owned), shown where no item menu applies.
    wxMenu* ControlMenu = nullptr;

    TSvLvHeaderSortDisplayMode HeaderSortDisplayMode() const { return sortDisplay_; }
    void SetHeaderSortDisplayMode(TSvLvHeaderSortDisplayMode mode);
    int SortColumn() const { return sortColumn_; }
    void SetSortColumn(int column);
    bool SortAscending() const { return sortAscending_; }
    void SetSortAscending(bool ascending);

    // Draws item `index` again through the custom-draw events.
    void DrawItemLook(long index);
    // The window that holds the rows (below the header): drops, hits and scrolling are its.
    wxWindow* RowsWindow() const { return GetTargetWindow(); }
    // How many menus were shown (each context request shows at most one).
    int MenusShown() const { return menusShown_; }

protected:
    virtual std::unique_ptr<TSvCustomDraw> CustomDrawItem(NMCUSTOMDRAW& record, std::uint32_t& answer);
    virtual void DoItemContextMenu(long item, wxPoint& pos, wxMenu*& menu);
    void KeyboardContextMenu(wxPoint pos);
    void ItemContextMenu(wxPoint pos);
    TSvFont ControlFont() const;
    // Keys other than the context-menu keys; by default the toolkit's handling.
    virtual void ListKeyDown(wxKeyEvent& event) { event.Skip(); }

private:
    void UpdateHeaderSortDisplay();
    void OnContextMenu(wxContextMenuEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    wxPoint IconCentre(long item) const;

    TSvLvHeaderSortDisplayMode sortDisplay_ = svlvRightOfText;
    int sortColumn_ = -1;
    bool sortAscending_ = false;
    int inMenu_ = 0;
    int menusShown_ = 0;
};

}  // namespace ql::shellctl
