#pragma once
// Turning one clip into collection content: a new node next to or under the drop target with a
// page that holds the clip, or the clip appended to the page open in the editor.
#include "app/collection/CollectionTree.h"
#include "app/collection/TextUtil.h"
#include "app/editor/session/EditorPorts.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ql {

class PageSession;

// Characters of a title taken from a clip's text.
inline constexpr std::size_t kClipTitleChars = 20;

class ClipIntake {
public:
    ClipIntake(PageSession& session, PageViews& views, EditorWindow& window, EditorDialogs& dialogs);

    // The node the next clip is attached to; nullptr when none or when it was deleted since.
    TreeNode* ClipTarget() const;
    void SetClipTarget(TreeNode* node);
    // How a new node is attached to the target: LastSibling, LastChild or InsertBefore (any
    // other mode attaches it as the last child).
    Attach ClipMode = Attach::LastChild;

    // Stores one clip. With DragCreateNew a new node (captioned with the title) gets a page that
    // holds `content`, and is selected; the result is that node. Otherwise the content goes into
    // the open page and the result is nullptr. Also nullptr when there is no target or the new
    // page could not be written (the user was told; no node is made). In an empty collection the
    // clip needs no target: it becomes the first node.
    TreeNode* AddClip(const std::string& content, const std::string& title);
    // Takes out again a node AddClip made whose page could not be given its clip afterwards:
    // its page file, the node and its name in the tree files; the clip's target is selected.
    void DiscardClipNode(TreeNode* node);
    // An HTML selection: `lines` are the "HTML Format" text, `selectedText` its plain text.
    void DropHTMLClip(const std::string& url, StringList lines, const std::string& selectedText);
    TreeNode* AddTextClip(const std::string& text);
    TreeNode* AddUrlClip(const std::string& url, const std::string& linkTitle);

    // "Load from URL".
    void LoadfromURL1Click();
    // "Add Clipboard Contents". `addNode` is the tree's "Add Node": it asks for a title, adds and
    // selects the node, and gives nullptr when the user cancelled.
    void AddClipboardBClick(const std::function<TreeNode*()>& addNode);

private:
    TreeNode* StoreClip(const std::string& content, const std::string& title, bool keepPictures);

    PageSession& session_;
    PageViews& views_;
    EditorWindow& window_;
    EditorDialogs& dialogs_;
    std::uint64_t clipTarget_ = 0;
};

// The page a link clip gets: its header line and the link.
std::string LinkClipPage(const std::string& url, const std::string& linkTitle);

}  // namespace ql
