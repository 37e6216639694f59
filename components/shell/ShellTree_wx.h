#pragma once
// The shell tree control: the shell namespace below a root folder as a tree that fills itself
// as nodes are expanded and follows the folders' changes on disk. Set the root with
// Shell().RootFolder.SetPath(path) (with svstoAutoFill it refills at once); the selected
// folder is Shell().SelectedFolder.
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

#include "components/shell/ControlLiveness.h"
#include "components/shell/ControlState_wx.h"
#include "components/shell/CustomTreeView_wx.h"
#include "components/shell/ShellDragPort_wx.h"
#include "components/shell/ShellIcons_wx.h"
#include "components/shell/ShellTreeController.h"
#include <wx/imaglist.h>
#include <wx/timer.h>

namespace ql::shellctl {

class TSvCustomShellTree : public TSvCustomTreeView, private ShellTreeView {
public:
    TSvCustomShellTree(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                       const wxSize& size = wxDefaultSize);
    ~TSvCustomShellTree() override;

    ShellTreeController& Shell() { return shell_; }
    using wxTreeCtrl::Expand;
    using wxTreeCtrl::IsExpanded;

    // Errors of the shell raised while handling an event; unset, they are logged.
    std::function<void(const std::string& text)> OnError;

    // Runs a pending refresh at once (tests and callers that cannot wait for the timer).
    void FlushPending();

protected:
    int OnCompareItems(const wxTreeItemId& a, const wxTreeItemId& b) override;
    // The shell's events draw the nodes (the hidden root is no node).
    std::unique_ptr<TSvCustomDraw> CustomDrawItem(NMCUSTOMDRAW& record, std::uint32_t& answer) override;
    // After the handler's choice, the shell's own menu of the node under the point.
    void DoItemContextMenu(const wxTreeItemId& node, wxPoint& pos, wxMenu*& menu) override;
    void NodeDeletion(const wxTreeItemId& item) override;
    void TreeKeyDown(wxKeyEvent& event) override;

private:
    template <class F>
    void Guard(F&& f);
    void OnWheel(wxMouseEvent& event);
    wxTreeItemId Item(TTreeNode node) const { return node ? ItemOf(node) : root_; }

    // ShellTreeView
    TTreeNode AddNode(TTreeNode parent, const std::string& caption) override;
    void DeleteNode(TTreeNode node) override;
    void ClearNodes() override;
    TTreeNode ParentNode(TTreeNode node) const override;
    TTreeNode FirstChild(TTreeNode node) const override;
    TTreeNode NextSibling(TTreeNode node) const override;
    void SortChildren(TTreeNode node, const std::function<int(TTreeNode, TTreeNode)>& compare) override;
    std::string Caption(TTreeNode node) const override;
    void SetCaption(TTreeNode node, const std::string& caption) override;
    bool HasChildrenFlag(TTreeNode node) const override;
    void SetHasChildren(TTreeNode node, bool value) override;
    void SetLook(TTreeNode node, int overlay, bool ghosted) override;
    void SetIcons(TTreeNode node, const ItemIdList* absolute) override;
    void Expand(TTreeNode node) override;
    bool IsExpanded(TTreeNode node) const override;
    void Select(TTreeNode node) override;
    TTreeNode Selected() const override;
    void MakeVisible(TTreeNode node) override;
    void BeginUpdate() override;
    void EndUpdate() override;
    bool IsEditingLabel() const override { return editing_; }
    void EditLabel(TTreeNode node) override;
    bool HasFocus() const override;
    void SetBusy(bool busy) override;
    void Beep() override;
    void StartRefreshTimer(int milliseconds) override { refreshTimer_.StartOnce(milliseconds); }
    void StopRefreshTimer() override { refreshTimer_.Stop(); }
    bool RefreshTimerRunning() const override { return refreshTimer_.IsRunning(); }
    TChangeHandlerThread::Poster ChangePoster() override;
    int TrackMenu(const shell::PopupMenu& menu, int x, int y) override;
    TTreeNode NodeAtScreen(com::POINTL pt) const override;
    TTreeNode DropHighlight() const override { return dropHighlight_; }
    void SetDropHighlight(TTreeNode node) override;
    ShellDragPort& DragPort() override { return dragPort_; }

    // Posts from the watching thread, device changes and the first fill reach the tree only
    // while it lives.
    TControlLiveness liveness_;
    wxTreeItemId root_;
    wxTimer refreshTimer_;
    TShellDragPort_wx dragPort_{*this, *this};
    ShellTreeController shell_;
    const std::function<int(TTreeNode, TTreeNode)>* compare_ = nullptr;
    TTreeNode dropHighlight_ = nullptr;
    OverlaidIcons icons_;
    std::unordered_map<TTreeNode, int> overlayOf_;
    bool editing_ = false;
    NestedBusyCursor busy_;
    NestedFreeze updates_{*this};
};

}  // namespace ql::shellctl
