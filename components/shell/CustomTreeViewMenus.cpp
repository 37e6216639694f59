#include "components/shell/CustomTreeViewMenus.h"

namespace ql::shellctl {

bool IsContextMenuKey(TShortCut shortcut) { return shortcut == VK_APPS || shortcut == (VK_F10 | scShift); }

void ForEachLeafFirst(TTreeNode first, const std::function<TTreeNode(TTreeNode)>& firstChild,
                      const std::function<TTreeNode(TTreeNode)>& nextSibling,
                      const std::function<void(TTreeNode)>& visit)
{
    for (TTreeNode node = first; node;) {
        // The next sibling is known before the node is handed out.
        const TTreeNode next = nextSibling(node);
        ForEachLeafFirst(firstChild(node), firstChild, nextSibling, visit);
        visit(node);
        node = next;
    }
}

}  // namespace ql::shellctl
