#pragma once
// The tree view the shell tree stands on: one context menu per request, chosen per node and
// point by a handler; per-node custom draw through TSvCustomDraw; and node release children
// first, exactly once per node, whenever nodes go.
#include <functional>
#include <memory>
#include <unordered_map>

#include <wx/treectrl.h>

#include "components/shell/CustomDraw.h"
#include "components/shell/CustomDrawLook_wx.h"
#include "components/shell/CustomTreeViewMenus.h"

class wxMenu;

namespace ql::shellctl {

class TSvCustomTreeView : public wxTreeCtrl, private TvMenuHost<wxMenu> {
public:
    TSvCustomTreeView(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                      const wxSize& size = wxDefaultSize, long style = wxTR_HAS_BUTTONS);
    ~TSvCustomTreeView() override;

    // (sender, node or an unset id, position in client coordinates, menu): the handler may move
    // the position or change the menu; nullptr shows none.
    std::function<void(TSvCustomTreeView&, const wxTreeItemId& node, wxPoint& pos, wxMenu*& menu)> OnItemContextMenu;
    using TSvTvCustomDrawEvent = std::function<void(TSvCustomTreeView&, TSvCustomDraw& cd, const wxTreeItemId& node)>;
    TSvTvCustomDrawEvent OnItemCustomDraw;    // at item prepaint
    TSvTvCustomDrawEvent OnItemCustomDrawEx;  // at every stage

    // The control's own menu (not owned).
    wxMenu* ControlMenu = nullptr;

    static TTreeNode NodeOf(const wxTreeItemId& item) { return item.GetID(); }
    static wxTreeItemId ItemOf(TTreeNode node) { return wxTreeItemId(node); }

    // Draws the node again through the custom-draw events. The control does so itself when a
    // node is added, when its text, images, data, boldness or own colours and font change, when
    // it becomes or stops being selected, focused or hot (under the mouse), and for every node
    // when the control's font or colours change.
    void DrawItemLook(const wxTreeItemId& item);

    // Every node that goes is released through NodeDeletion first, children before parents.
    void Delete(const wxTreeItemId& item) override;
    void DeleteChildren(const wxTreeItemId& item) override;
    void DeleteAllItems() override;

    // The node's own colours and font: the look its drawing starts from.
    void SetItemTextColour(const wxTreeItemId& item, const wxColour& colour) override;
    void SetItemBackgroundColour(const wxTreeItemId& item, const wxColour& colour) override;
    void SetItemFont(const wxTreeItemId& item, const wxFont& font) override;
    void SetItemText(const wxTreeItemId& item, const wxString& text) override;
    void SetItemImage(const wxTreeItemId& item, int image, wxTreeItemIcon which = wxTreeItemIcon_Normal) override;
    void SetItemData(const wxTreeItemId& item, wxTreeItemData* data) override;
    void SetItemBold(const wxTreeItemId& item, bool bold = true) override;
    bool SetFont(const wxFont& font) override;
    bool SetForegroundColour(const wxColour& colour) override;
    bool SetBackgroundColour(const wxColour& colour) override;

protected:
    // Wraps the record in a draw object and raises the events; nullptr when none is set.
    virtual std::unique_ptr<TSvCustomDraw> CustomDrawItem(NMCUSTOMDRAW& record, std::uint32_t& answer);
    virtual std::unique_ptr<TSvCustomDraw> CreateCustomDraw(NMCUSTOMDRAW& record, std::uint32_t& answer);
    virtual void DoItemContextMenu(const wxTreeItemId& node, wxPoint& pos, wxMenu*& menu);
    void KeyboardContextMenu() { menus_.KeyboardContextMenu(); }
    void ItemContextMenu(const wxTreeItemId& node, wxPoint pos);
    // A node is going (called once, after its children): release what belongs to it.
    virtual void NodeDeletion(const wxTreeItemId&) {}
    // Releases and deletes every node. A class that overrides NodeDeletion calls this in its
    // own destructor: by the time this class's destructor runs, the override is gone.
    void DestroyNodes();
    // Keys other than the context-menu keys; by default the toolkit's handling.
    virtual void TreeKeyDown(wxKeyEvent& event) { event.Skip(); }
    wxTreeItemId DoInsertItem(const wxTreeItemId& parent, size_t pos, const wxString& text, int image,
                              int selectedImage, wxTreeItemData* data) override;
    wxTreeItemId DoInsertAfter(const wxTreeItemId& parent, const wxTreeItemId& after, const wxString& text, int image,
                               int selectedImage, wxTreeItemData* data) override;
    // TvMenuHost: shows the menu at a client point (tests count it).
    void ShowMenu(wxMenu& menu, TvPoint at) override;

private:
    // The colours and font the node was given, apart from what custom draw chose.
    struct OwnLook {
        wxColour text, back;
        wxFont font;
    };
    // Everything below `item` children first, then `item` itself when `withItem`.
    void ForEachNode(const wxTreeItemId& item, bool withItem, const std::function<void(const wxTreeItemId&)>& visit);
    void ReleaseNodes(const wxTreeItemId& item, bool withItem);
    void DrawAllItemLooks();
    template <class F>
    void Deleting(const wxTreeItemId& item, bool withItem, F&& deleteInToolkit);
    void SetHot(const wxTreeItemId& item);
    void LinkHandlers(bool on);  // binds or unbinds the handlers below
    void OnKeyDown(wxKeyEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnRightClick(wxTreeEvent& event);
    void OnRightButton(wxMouseEvent& event);
    void OnSelectionChanged(wxTreeEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnFocus(wxFocusEvent& event);

    // TvMenuHost
    TTreeNode SelectedNode() const override;
    TvRect NodeTextRect(TTreeNode node) const override;
    wxMenu* ControlPopupMenu() const override { return ControlMenu; }
    void ChooseItemMenu(TTreeNode node, TvPoint& pos, wxMenu*& menu) override;

    TvContextMenus<wxMenu> menus_{*this};
    std::unordered_map<TTreeNode, OwnLook> ownLook_;
    wxTreeItemId hot_;
    int drawing_ = 0;
    int inDeletion_ = 0;
};

}  // namespace ql::shellctl
