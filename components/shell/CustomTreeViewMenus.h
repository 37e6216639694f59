#pragma once
// What the custom tree view decides apart from the toolkit: the order in which its nodes are
// released, which keys ask for a context menu, and where each context request shows its one
// menu. The control implements TvMenuHost with its toolkit's nodes, points and menus.
#include <functional>

#include "components/shell/CommandShortcuts.h"
#include "components/shell/ScopedDepth.h"

namespace ql::shellctl {

// A node of a tree control; nullptr is none.
using TTreeNode = void*;

inline constexpr TShortCut VK_APPS = 0x5D;
inline constexpr TShortCut VK_F10 = 0x79;

// The Applications key alone or Shift+F10.
bool IsContextMenuKey(TShortCut shortcut);

// Calls `visit` once for `first`, each of its following siblings and everything below them:
// a node's children (in sibling order, recursively) before the node itself.
void ForEachLeafFirst(TTreeNode first, const std::function<TTreeNode(TTreeNode)>& firstChild,
                      const std::function<TTreeNode(TTreeNode)>& nextSibling,
                      const std::function<void(TTreeNode)>& visit);

struct TvPoint {
    int x = 0, y = 0;
    friend bool operator==(const TvPoint&, const TvPoint&) = default;
};
// Right and bottom are exclusive.
struct TvRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
inline TvPoint CentreOf(const TvRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// What the context-menu protocol needs of its control. Points are client coordinates.
template <class Menu>
class TvMenuHost {
public:
    virtual ~TvMenuHost() = default;
    virtual TTreeNode SelectedNode() const = 0;
    virtual TvRect NodeTextRect(TTreeNode node) const = 0;
    virtual Menu* ControlPopupMenu() const = 0;
    // The control's own step: may move the point and change the menu (nullptr: none).
    virtual void ChooseItemMenu(TTreeNode node, TvPoint& pos, Menu*& menu) = 0;
    // Shows the menu and returns when it has gone.
    virtual void ShowMenu(Menu& menu, TvPoint at) = 0;
};

// One menu per context request: a right click on a node, the menu keys, or the desktop's own
// request (which follows a right click the control did not take, or a key it did not see).
template <class Menu>
class TvContextMenus {
public:
    explicit TvContextMenus(TvMenuHost<Menu>& host) : host_(host) {}

    // A right click; `node` is the one under the cursor (nullptr: none, the desktop's request
    // follows).
    void RightClick(TTreeNode node, TvPoint at)
    {
        if (!node || showing_)
            return;
        Menu* menu = host_.ControlPopupMenu();
        host_.ChooseItemMenu(node, at, menu);
        Show(menu, at);
        menuShown_ = true;  // also when no menu remained: the request is answered
    }

    // True when the key asked for a menu (the caller then drops the key).
    bool KeyDown(TShortCut shortcut)
    {
        if (!IsContextMenuKey(shortcut))
            return false;
        KeyboardContextMenu();
        return true;
    }

    // The selected node's menu at the centre of its text; without one the control's menu at
    // the top-left corner.
    void KeyboardContextMenu()
    {
        if (showing_)
            return;
        if (TTreeNode selected = host_.SelectedNode()) {
            ItemContextMenu(selected, CentreOf(host_.NodeTextRect(selected)));
            return;
        }
        Show(host_.ControlPopupMenu(), {0, 0});
    }

    void ItemContextMenu(TTreeNode node, TvPoint at)
    {
        if (showing_)
            return;
        Menu* const own = host_.ControlPopupMenu();
        Menu* menu = own;
        host_.ChooseItemMenu(node, at, menu);
        if (menu != own)
            menuShown_ = true;
        Show(menu, at);
    }

    // The desktop's context request; `fromKeyboard` when it carries no position. A selected
    // node or a request already answered leaves it alone.
    void ContextRequest(bool fromKeyboard, TvPoint at)
    {
        if (showing_ || menuShown_ || host_.SelectedNode())
            return;
        if (fromKeyboard)
            KeyboardContextMenu();
        else
            ItemContextMenu(nullptr, at);
    }

    // A right button press or release: any earlier request is over.
    void RightButton() { menuShown_ = false; }

    bool MenuShownFlag() const { return menuShown_; }
    int MenusShown() const { return shown_; }

private:
    void Show(Menu* menu, TvPoint at)
    {
        if (!menu || showing_)
            return;
        // A request that arrives while the menu is up belongs to that menu.
        const TScopedDepth up(showing_);
        ++shown_;
        host_.ShowMenu(*menu, at);
    }

    TvMenuHost<Menu>& host_;
    bool menuShown_ = false;
    int showing_ = 0;
    int shown_ = 0;
};

}  // namespace ql::shellctl
