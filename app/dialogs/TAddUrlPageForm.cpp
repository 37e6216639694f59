#include "app/dialogs/TAddUrlPageForm.h"

#include "app/collection/TextUtil.h"

#include "app/collection/ClipFragment.h"
#include "app/collection/PageId.h"
#include "app/collection/TreeText.h"
#include "app/editor/session/ClipIntake.h"
#include "app/editor/session/PageSession.h"
#include "foundation/VekCollectClass.h"
#include "platform/core/ErrorLog.h"

namespace ql {

namespace {

// The editor's tree as it is in memory: captions, shape and page ids.
void CopyTreeWithPageIds(const CollectionTree& from, CollectionTree& to)
{
    CopyTreeCaptions(from, to);
    for (std::size_t i = 0; i < from.Count(); ++i)
        if (from.NodeAt(i)->HasPageId())
            to.SetPageId(to.NodeAt(i), from.NodeAt(i)->PageId());
    to.SetLoaded(true);
}

}  // namespace

SaveHomepage::SaveHomepage(PageSession& session, ClipIntake& clips, EditorDialogs& dialogs)
    : session_(session), clips_(clips), dialogs_(dialogs)
{
}

void SaveHomepage::FormShow(const ClipHandOver& handOver)
{
    handOver_ = handOver;
    Title = handOver.Title;
    includeImages_ = session_.AppSettings().imagechecked;
    FillTargetTree();
}

void SaveHomepage::FillTargetTree()
{
    long index = -1;
    CollectionTree& editorTree = session_.EditorTree();
    tree_.Clear();
    // The dialog reads the tree files, so they must hold the editor's tree as it is now. Where
    // they cannot (the user was told), it takes the editor's tree as it is in memory: the node
    // chosen is found again in the editor's tree by its place, and an older tree would name
    // another node there.
    if (editorTree.Loaded() && session_.SaveTreeFiles(editorTree) != TreeSave::Saved)
        CopyTreeWithPageIds(editorTree, tree_);
    else
        session_.LoadTreeFiles(tree_);
    if (editorTree.Loaded() && editorTree.Selected())
        index = editorTree.AbsoluteIndex(editorTree.Selected());
    if (index < 0)
        index = 0;
    if (TreeNode* node = tree_.NodeAt(static_cast<std::size_t>(index)))
        tree_.Select(node->Parent() ? node->Parent() : node);
    treeChanged_ = false;
}

void SaveHomepage::CheckImageClick(bool checked)
{
    includeImages_ = checked;
    session_.AppSettings().imagechecked = checked;
}

TreeNode* SaveHomepage::NewNode(bool child)
{
    std::optional<std::string> caption = dialogs_.InputBox(kInputTitleCaption, "", "");
    // A blank title is taken as Cancel: a node without a caption cannot be kept in the tree
    // files, and saving under it would fail.
    if (!caption || TrimControls(*caption).empty())
        return nullptr;
    TreeNode* node = tree_.AddNode(tree_.Selected(), child ? Attach::LastChild : Attach::LastSibling, *caption);
    // Unique against this tree too, so two new nodes of one title never share a page.
    tree_.SetPageId(node, session_.MakeNodeFileName(*node));
    tree_.Select(node);
    treeChanged_ = true;
    return node;
}

bool SaveHomepage::Save()
{
    if (!CanSave())
        return false;
    Outcome outcome = Outcome::Failed;
    if (!GuardHandler("Save homepage", [&] { outcome = SaveSteps(); }))
        outcome = Outcome::Failed;
    if (outcome == Outcome::Failed)
        dialogs_.ShowMessage(kSavingFailed);
    return outcome == Outcome::Saved;
}

SaveHomepage::Outcome SaveHomepage::SaveSteps()
{
    CollectionTree& editorTree = session_.EditorTree();
    const long index = tree_.AbsoluteIndex(tree_.Selected());
    if (treeChanged_) {
        // The dialog's tree, with its new nodes, becomes the collection's tree.
        const TreeSave written = session_.SaveTreeFiles(tree_);
        if (written == TreeSave::Failed)
            return Outcome::Reported;  // the session told the user
        if (written != TreeSave::Saved)
            return Outcome::Failed;
        session_.LoadTreeFiles(editorTree);
        treeChanged_ = false;
    } else if (!editorTree.Loaded()) {
        session_.LoadTreeOnce();
    }
    session_.ExpectHomepageImport();
    TreeNode* target = index < 0 ? nullptr : editorTree.NodeAt(static_cast<std::size_t>(index));
    if (!target)
        return Outcome::Failed;
    clips_.SetClipTarget(target);
    clips_.ClipMode = Attach::LastChild;
    TSettings& s = session_.AppSettings();
    s.DragCreateNew = true;
    TreeNode* node = clips_.AddClip("", Title);
    if (!node)
        return Outcome::Reported;  // the clip intake told the user

    // The new node's own page, also when the editor kept another page open.
    const std::string file = PageFileName(s.CollectionDir, node->PageId());
    const bool current = s.CurrentPageFile == file;
    const std::string& url = handOver_.Url;
    std::string header = ClipFromLine(url) + "\r\n";
    if (!includeImages_ && !url.empty())
        header += ClipBaseLine(url) + "\r\n";
    if (!session_.SavePageText(header + handOver_.Text, file)) {
        clips_.DiscardClipNode(node);  // no node is left with an empty page
        return Outcome::Failed;
    }
    if (!current)
        return Outcome::Saved;
    if (includeImages_)
        session_.OpenPageForPictures(file, url);
    else
        session_.ShowCurrentPage("");
    return Outcome::Saved;
}

}  // namespace ql
