#include "app/editor/session/PageSession.h"

#include "app/collection/PageId.h"
#include "app/collection/TextTransforms.h"
#include "app/editor/session/PageText.h"
#include "foundation/VekBaseClass.h"
#include "platform/core/ErrorLog.h"
#include "platform/core/SafeFile.h"

#include <filesystem>

namespace ql {

PageSession::PageSession(CollectionContext context, CollectionTree& editorTree, PageViews& views, EditorWindow& window,
                         EditorDialogs& dialogs, const Clock& clock, UrlCacheLookup findCachedFile, RandomSource random)
    : ctx_(context),
      tree_(editorTree),
      views_(views),
      window_(window),
      dialogs_(dialogs),
      clock_(clock),
      random_(std::move(random)),
      findCachedFile_(std::move(findCachedFile))
{
}

TreeLoadReport PageSession::LoadTreeFiles(CollectionTree& tree)
{
    if (!collectionFolder_)
        collectionFolder_ = IdentifyFolder(CollectionDir());
    TreeLoadReport report = ql::LoadTreeFiles(CollectionDir(), tree, random_);
    // What is in memory is not the collection then: saving it would replace files never read.
    if ((report.result == TreeLoad::Unreadable || report.idsMissing) && !treeFilesUnreadable_) {
        treeFilesUnreadable_ = true;
        dialogs_.ShowMessage(
            report.idsMissing
                ? "The collection tree in " + CollectionDir() + " has no \"" + kTreeDataFile +
                      "\" file, so its nodes are shown without their pages. The tree will not be saved "
                      "during this session; restoring \"" +
                      kTreeDataFile + "\" (for example from \"" + kTreeDataFile + kBackupSuffix +
                      "\") brings the pages back."
                : "The collection tree in " + CollectionDir() +
                      " could not be read. It will not be saved during this session, so its files stay as they are.");
    }
    if (report.duplicateIds > 0) {
        dialogs_.ShowMessage(
            "In the collection tree in " + CollectionDir() + ", " + std::to_string(report.duplicateIds) +
            " node(s) shared a page with another node. Each now has a page of its own" +
            (report.uncopiedPages > 0
                 ? ", but " + std::to_string(report.uncopiedPages) + " page(s) could not be copied and start empty."
                 : ", a copy of the shared one."));
    }
    return report;
}

void PageSession::LoadTreeOnce()
{
    if (tree_.Loaded())
        return;
    tree_.SetLoaded(true);
    LoadTreeFiles(tree_);
    if (tree_.Empty())
        return;
    const int last = ctx_.settings.LastNode;
    TreeNode* node = (last >= 0 && static_cast<std::size_t>(last) < tree_.Count())
                         ? tree_.NodeAt(static_cast<std::size_t>(last))
                         : tree_.NodeAt(0);
    window_.SelectNode(node);
}

TreeSave PageSession::SaveTreeFiles(const CollectionTree& tree)
{
    if (treeFilesUnreadable_) {
        dialogs_.ShowMessage(std::string(kSavingFailed) + ": the collection tree is not saved, because its files in " +
                             CollectionDir() + " could not be read.");
        return TreeSave::Failed;
    }
    if (!CollectionFolderUnmoved())
        return TreeSave::Failed;
    std::string error;
    const TreeSave result = ql::SaveTreeFiles(CollectionDir(), tree, random_, &error);
    if (result == TreeSave::Failed)
        dialogs_.ShowMessage(std::string(kSavingFailed) + ": the collection tree could not be written (" + error +
                             ").");
    else if (!collectionFolder_)
        collectionFolder_ = IdentifyFolder(CollectionDir());
    return result;
}

std::string PageSession::MakeNodeFileName(const TreeNode& node) const
{
    return ql::MakeNodeFileName(node, CollectionDir(), clock_.ShortDate());
}

std::string PageSession::PageIdOfNode(const TreeNode* node) const
{
    if (!node || !node->Tree().Loaded())
        return {};
    return node->PageId();
}

std::string PageSession::PageFileOfNode(const TreeNode* node) const
{
    return PageFileName(CollectionDir(), PageIdOfNode(node));
}

bool PageSession::EnsureCollectionFolder()
{
    if (!CollectionFolderUnmoved())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(CollectionDir(), ec);
    if (!collectionFolder_)
        collectionFolder_ = IdentifyFolder(CollectionDir());
    return DirectoryExists(CollectionDir());
}

bool PageSession::CollectionFolderMoved() const
{
    return collectionFolder_ && IdentifyFolder(CollectionDir()) != collectionFolder_;
}

bool PageSession::CollectionFolderUnmoved()
{
    if (!CollectionFolderMoved())
        return true;
    dialogs_.ShowMessage(std::string(kSavingFailed) + ": the collection folder " + CollectionDir() +
                         " is no longer the one Quillory loaded (it was moved, renamed or replaced meanwhile). Nothing "
                         "is saved there, so no tree names pages that are not in it; start Quillory again to go on "
                         "with the collection now at that place.");
    return false;
}

bool PageSession::TransformCurrentPage(std::string (*transform)(std::string_view))
{
    const std::string& file = ctx_.settings.CurrentPageFile;
    auto bytes = ReadFileBytes(file, kMaxPageBytes);
    if (!bytes)
        return false;
    return SavePageText(transform(*bytes), file);
}

bool PageSession::PreparePageFile(const std::string& pageId)
{
    TSettings& s = ctx_.settings;
    std::string id = pageId.empty() ? s.CurrentNodeId : pageId;
    if (!IsValidPageId(id))
        return false;
    s.CurrentNodeId = id;
    s.CurrentPageFile = PageFileName(CollectionDir(), id);
    const std::string& file = s.CurrentPageFile;
    if (!FileExists(file) && EnsureCollectionFolder() && !SaveTextToFile("", file))
        ReportSaveFailure();

    if (s.AutoChangeTxtToHtml || homepageImport_) {
        if (auto bytes = ReadFileBytes(file, kMaxPageBytes)) {
            PagePreparation options{s.AutoChangeTxtToHtml, homepageImport_, s.UseDiv, views_.ActiveView()};
            if (auto prepared = PreparePageText(*bytes, options); prepared && !SavePageText(*prepared, file))
                ReportSaveFailure();  // the page stays as it was
        }
    }
    if (newClipPending_) {
        newClipPending_ = false;
        // The caller shows the page once afterwards, so the transforms only rewrite the file.
        if (!homepageImport_) {
            if ((s.AutoCleanUp && !TransformCurrentPage(CleanUpPageText)) ||
                (s.AutoUnicode && !TransformCurrentPage(ToggleUnicode)))
                ReportSaveFailure();  // the page stays as far as it got
        }
        homepageImport_ = false;
    }
    s.CurrentPageTime = 0;
    return true;
}

void PageSession::ShowCurrentPage(const std::string& pageId)
{
    if (!PreparePageFile(pageId))
        return;
    const std::string& file = ctx_.settings.CurrentPageFile;
    switch (views_.ActiveView()) {
    case kViewHtml:
        LoadPageIntoHtmlView(file);
        break;
    case kViewText:
        if (auto bytes = ReadFileBytes(file, kMaxPageBytes)) {
            textUnreadable_ = false;
            views_.SetTextReadOnly(false);
            views_.SetTextContent(*bytes, false);
        } else {
            // The previous page's text must not stay in the view as if it were this page's, and
            // typing into the emptied view must not replace the page that could not be read.
            views_.SetTextContent("", false);
            views_.SetTextReadOnly(true);
            textUnreadable_ = true;
            viewPageFile_.clear();
            dialogs_.ShowMessage("Cannot open " + file);
            return;
        }
        break;
    default:
        views_.BrowseNavigate(file);
        break;
    }
    viewPageFile_ = file;
}

void PageSession::LoadPageIntoHtmlView(const std::string& file) { views_.HtmlLoadDocument(file); }

bool PageSession::SavePageText(const std::string& text, const std::string& file)
{
    return CollectionFolderUnmoved() && SaveTextToFile(text, file);
}

bool PageSession::WritePageFile(const std::string& file, const std::string& text)
{
    if (!CollectionFolderUnmoved())
        return false;
    if (auto previous = ReadFileBytes(file, kMaxPageBytes)) {
        // The copy is a convenience: the page is saved without it, and the failure noted.
        std::string error;
        if (!WriteFileAtomic(CollectionDir() + kPageBackupFile, *previous, &error))
            LogError(kPageBackupFile, error);
    }
    return SaveTextToFile(text, file);
}

void PageSession::ReportSaveFailure() { dialogs_.ShowMessage(kSavingFailed); }

void PageSession::MarkHtmlViewSaved()
{
    forceSave_ = false;
    views_.HtmlMarkSaved();
}

bool PageSession::SaveCurrentPage(const std::string& pageId)
{
    TSettings& s = ctx_.settings;
    const int view = views_.ActiveView();
    if (tree_.Empty() || (view != kViewHtml && view != kViewText))
        return true;
    if (view == kViewHtml) {
        if (views_.HtmlBusy() || (!views_.HtmlIsDirty() && !forceSave_))
            return true;
    } else if (!views_.TextModified()) {
        return true;
    }

    std::string target = viewPageFile_;
    if (target.empty()) {
        std::string id = pageId.empty() ? s.CurrentNodeId : pageId;
        if (!IsValidPageId(id)) {
            ReportSaveFailure();  // no page to keep the edits in
            return false;
        }
        target = PageFileName(CollectionDir(), id);
    }

    std::string text;
    if (view == kViewHtml) {
        text = views_.HtmlDocumentHtml();
        if (text.empty()) {
            ReportSaveFailure();
            return false;
        }
    } else {
        text = views_.TextContent();
    }
    if (!WritePageFile(target, text)) {
        ReportSaveFailure();
        return false;
    }
    if (view == kViewHtml) {
        MarkHtmlViewSaved();
    } else {
        views_.TextMarkSaved();
    }
    if (target == s.CurrentPageFile)
        s.CurrentPageTime = GetFileDateTime(target);
    return true;
}

void PageSession::NotePageSaved()
{
    TSettings& s = ctx_.settings;
    if (!s.CurrentPageFile.empty() && FileExists(s.CurrentPageFile))
        s.CurrentPageTime = GetFileDateTime(s.CurrentPageFile);
    // "After Dragging": hide the editor, or bring it to the top.
    if (s.DragHideAfterSave)
        window_.HideEditor();
    else
        window_.ShowEditorForDrag();
}

bool PageSession::SaveEditorState()
{
    TSettings& s = ctx_.settings;
    s.ActiveTabIndex = views_.ActiveView();
    if (!SaveCurrentPage(""))
        return false;
    if (SaveTreeFiles(tree_) == TreeSave::Failed)
        return false;
    const long index = tree_.AbsoluteIndex(tree_.Selected());
    if (index < 0)
        return false;
    s.LastNode = static_cast<std::int32_t>(index);
    return true;
}

void PageSession::OpenPageForPictures(const std::string& file, const std::string& url)
{
    ctx_.clipSourceUrl = url;
    // The HTML view loads the file once: a load of the current page by the view switch, given
    // up for this one, would leave the engine (which follows only the load asked for last) with
    // neither, and the document-complete that starts the picture work would never come.
    if (views_.ActiveView() != kViewHtml)
        views_.SwitchView(kViewHtml, false);
    const std::string& current = ctx_.settings.CurrentPageFile;
    if (file == current)
        PreparePageFile("");  // what showing the current page would have prepared
    documentWork_ = DocumentWork::Localize;
    pendingPictures_ = PendingPictures::WholePage(file, current);
    LoadPageIntoHtmlView(file);
    viewPageFile_ = current;  // the loaded document replaces the current page at the next save
    ForceNextSave();
}

void PageSession::NotePageDeleted(const std::string& pageId)
{
    TSettings& s = ctx_.settings;
    const std::string file = PageFileName(CollectionDir(), pageId);
    if (s.CurrentNodeId == pageId) {
        s.CurrentNodeId.clear();
        s.CurrentPageFile.clear();
        s.CurrentPageTime = 0;
    }
    if (viewPageFile_ == file) {
        viewPageFile_.clear();
        forceSave_ = false;
    }
    if (pendingPictures_ && (pendingPictures_->source == file || pendingPictures_->target == file)) {
        pendingPictures_.reset();
        documentWork_ = DocumentWork::None;
    }
}

void PageSession::NotePageRenamed(const std::string& oldId, const std::string& newId)
{
    TSettings& s = ctx_.settings;
    const std::string oldFile = PageFileName(CollectionDir(), oldId);
    const std::string newFile = PageFileName(CollectionDir(), newId);
    if (s.CurrentNodeId == oldId) {
        s.CurrentNodeId = newId;
        s.CurrentPageFile = newFile;
    }
    if (viewPageFile_ == oldFile)
        viewPageFile_ = newFile;
    if (pendingPictures_) {
        if (pendingPictures_->source == oldFile)
            pendingPictures_->source = newFile;
        if (pendingPictures_->target == oldFile)
            pendingPictures_->target = newFile;
    }
}

}  // namespace ql
