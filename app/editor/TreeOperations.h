#pragma once
// What the user does to the collection tree itself: adding a node with its first page,
// deleting a subtree with its pages, page folders and (on request) pictures, renaming in place
// (the page file and the picture records follow), moving by dragging, and stepping to the
// previous or next node. The tree files are saved after every change of the tree, so they never
// name a deleted page or miss a new one.
#include "app/collection/CollectionTree.h"
#include "app/editor/session/EditorDropTargeting.h"
#include "app/editor/session/EditorPorts.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ql {

class IniFile;
class PageSession;

// The tree's icons, by their index in the tree's image list.
enum TreeIcon : int {
    kIconExpanded = 25,   // a node with children, expanded
    kIconCollapsed = 26,  // a node with children, collapsed
    kIconLeaf = 27,       // a node without children
};
TreeIcon NodeIcon(bool hasChildren, bool expanded);

// Where a node dragged inside the tree goes for a hit test at the drop point; nothing when the
// point is on none of the places a drop is taken at.
std::optional<Attach> NodeMoveAttachForHit(unsigned hit);

inline constexpr char kPleaseSelectNode[] = "Please select a node";
inline constexpr char kCannotDeleteLastNode[] = "Can't delete, Quillory must has at least one node.";
inline constexpr char kInputTitleCaption[] = "Input Title:";

// The question offering the pictures of deleted pages, numbered in list order.
std::string DeleteImagesQuestion(const std::vector<std::string>& pictures);

class TreeOperations {
public:
    TreeOperations(PageSession& session, PageViews& views, EditorWindow& window, EditorDialogs& dialogs,
                   IniFile* imagesIni);

    // "Add Node" / "Add ChildNode": asks for the title; the new node, or nullptr when cancelled
    // or when its page could not be written.
    TreeNode* AddItemBClick();
    TreeNode* AddSubItemBClick();
    // Gives a new node its page id and its page (a copy of the template page, else a new
    // document in the HTML view), saves the tree and selects the node. False when the template's
    // copy could not be written: the node is taken out again and the user told.
    bool InitNewNodePage(TreeNode* node);

    // "Delete": confirms, then deletes the node with its subtree.
    void DeleteNodeTree(TreeNode* node);
    // Depth first: the pages, page folders and picture records of the subtree; the pictures
    // recorded for them that still exist are appended to `pictures` once each. False when a
    // picture record could not be removed.
    [[nodiscard]] bool DeleteNodeFiles(TreeNode* node, std::vector<std::string>& pictures);

    // The in-place edit was confirmed with `text`. False when the page could not be moved: the
    // node keeps its title and page.
    bool TVEdited(TreeNode* node, const std::string& text);

    // The selected node was dropped at a place the hit test describes, over `target` (nullptr
    // for none). False when nothing moved.
    bool TVDragDrop(TreeNode* target, unsigned hit);

    void ToolButton27Click();  // the previous node, wrapping to the last
    void ToolButton42Click();  // the next node, wrapping to the first

    // Told before a confirmed delete removes a node and its subtree (the search rows go too).
    std::function<void(const TreeNode&)> onDeleting;

private:
    TreeNode* AddNode(bool child);
    std::string CollectionDir() const;
    std::string ImagesDir() const;

    PageSession& session_;
    PageViews& views_;
    EditorWindow& window_;
    EditorDialogs& dialogs_;
    IniFile* imagesIni_;
};

}  // namespace ql
