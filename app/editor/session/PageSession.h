#pragma once
// The editor's page session: the collection's tree files, page ids, the current page (made
// current, shown in the active view, saved back), the page text commands and the work the HTML
// editing control asks for when its document is complete. Everything the editor window shows
// goes through the ports; the process-wide values come in through a CollectionContext.
#include "app/collection/CollectionTree.h"
#include "app/collection/PictureLocalizer.h"
#include "app/collection/TreeFiles.h"
#include "app/editor/session/DeferredWork.h"
#include "app/editor/session/EditorPorts.h"
#include "foundation/PageLimit.h"
#include "foundation/VekCollectClass.h"
#include "platform/core/SafeFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ql {

class IniFile;

// Production passes the globals of VekCollectClass: Settings, ClipSourceUrl, ImagesIni.
struct CollectionContext {
    TSettings& settings;           // CollectionDir, ImagesDir, the current page, the options
    std::string& clipSourceUrl;    // source of the clip being stored
    IniFile* imagesIni = nullptr;  // "images.ini"; null: picture records are not written
};

inline constexpr char kSavingFailed[] = "Saving Failed";
inline constexpr char kTextViewReadOnlyNote[] = " (read-only: the page could not be read)";
inline constexpr char kPageBackupFile[] = "html.bak";
inline constexpr char kOpenPageFilter[] = "*.html;*.htm|*.html;*.htm|*.txt|*.txt|*.*|*.*";

class PageSession {
public:
    PageSession(CollectionContext context, CollectionTree& editorTree, PageViews& views, EditorWindow& window,
                EditorDialogs& dialogs, const Clock& clock, UrlCacheLookup findCachedFile,
                RandomSource random = DefaultRandomSource());

    // Work of the page flow that waits for the next page made current, the next save or the
    // next document the HTML view completes; each is done once.
    //
    // The Save homepage dialog's page is coming: the next page made current loses
    // "charset=unicode" and gets none of a new clip's automatic transforms.
    void ExpectHomepageImport() { homepageImport_ = true; }
    bool HomepageImportExpected() const { return homepageImport_; }
    // A new clip's page waits for its first preparation (AutoCleanUp, AutoUnicode).
    void ExpectNewClip() { newClipPending_ = true; }
    bool NewClipExpected() const { return newClipPending_; }
    // The HTML view's document is saved at the next save even when the control finds it unchanged.
    void ForceNextSave() { forceSave_ = true; }
    bool SaveForced() const { return forceSave_; }
    // The HTML view's document holds nothing to save: the control's unsaved state is cleared and
    // the next save is not forced.
    void MarkHtmlViewSaved();
    // The clipboard is pasted into the document the HTML view completes next, and its pictures
    // are kept.
    void PasteIntoNextDocument() { documentWork_ = DocumentWork::PasteThenLocalize; }
    DocumentWork PendingDocumentWork() const { return documentWork_; }

    CollectionTree& EditorTree() { return tree_; }
    TSettings& AppSettings() { return ctx_.settings; }
    std::string& ClipSourceUrl() { return ctx_.clipSourceUrl; }
    const Clock& GetClock() const { return clock_; }

    // Tree files, for the editor's tree or a copy (the Save homepage dialog's). Once a load found
    // them unreadable, no tree is saved over them for the rest of the session. A failed or
    // refused save is reported to the user.
    TreeLoadReport LoadTreeFiles(CollectionTree& tree);
    void LoadTreeOnce();  // the editor's tree, once; then selects node LastNode (or the first)
    [[nodiscard]] TreeSave SaveTreeFiles(const CollectionTree& tree);
    // The editor's tree into the tree files after a change, where nothing else depends on the
    // save: a failure is told to the user (the tree in memory keeps the change).
    void SaveTree() { (void)SaveTreeFiles(tree_); }
    std::string MakeNodeFileName(const TreeNode& node) const;
    std::string PageIdOfNode(const TreeNode* node) const;  // "" while the tree is not loaded
    std::string PageFileOfNode(const TreeNode* node) const;

    // The current page.
    bool PreparePageFile(const std::string& pageId);
    void ShowCurrentPage(const std::string& pageId);
    void LoadPageIntoHtmlView(const std::string& file);
    // Saves the active view's document into the file it was shown from (normally the current
    // page). False when it could not be written: the user was told and the view keeps its
    // unsaved state. Nothing to save is success.
    [[nodiscard]] bool SaveCurrentPage(const std::string& pageId);
    // After a clip was stored: notes the page's date, then hides the editor or brings it to
    // the top (DragHideAfterSave).
    void NotePageSaved();
    [[nodiscard]] bool SaveEditorState();  // at close and exit
    void OpenPageForPictures(const std::string& file, const std::string& url);
    // The tree operations renamed a page file: the open page follows it.
    void NotePageRenamed(const std::string& oldId, const std::string& newId);
    // The tree operations deleted a page: nothing writes it again, and no pending work applies
    // to it.
    void NotePageDeleted(const std::string& pageId);
    // The Text view could not read the current page and is read-only until a page is read.
    bool TextViewUnreadable() const { return textUnreadable_; }

    // Handlers of the editor window.
    bool TVChanging(TreeNode* node);  // false: the selection must stay (the old page was not saved)
    bool PageControl1Changing();      // false: the view must stay
    void PageControl1Change();
    void ToolButton12Click();  // "&New (Clear)"
    void ToolButton14Click();  // "&Save"
    void ToolButton46Click();  // "&Open..."
    void FormClose();

    // The HTML editing control's document is complete.
    void dtDocumentComplete();
    // Keeps the pictures of the page (or of its newly appended fragment) and makes its links
    // absolute, then shows it in the Browse view. Without a source URL only absolute addresses
    // are resolved.
    void LocalizeClipResources(bool withLinks);
    // A new empty document, into which the clipboard is pasted when it is complete.
    void StartClipboardPaste();
    // What the next clipboard paste is for: a clip appended to `pageFile` (the pasted body goes
    // after the page's content, under the header line of `url`), or with nullopt a new node's
    // page, which the pasted document becomes.
    struct ClipboardAppend {
        std::string pageFile;
        std::string url;
        bool keepPictures = false;
    };
    void SetClipboardAppend(std::optional<ClipboardAppend> append) { clipboardAppend_ = std::move(append); }
    // Inserts `content` into the page file as an appended clip (before "</body>", else
    // "</html>", else at the end) and shows the current page again. With `keepPictures` (only
    // for the current page) the fragment's pictures are localised once the HTML view has
    // loaded it. False when the page could not be read or written (the user was told; the file
    // is unchanged).
    [[nodiscard]] bool AppendClipToPage(const std::string& pageFile, const std::string& content, bool keepPictures);
    // The next localisation (DocumentWork::Localize) applies to `pageFile`; with end != npos
    // only to the appended `fragment`, put at [begin, end) and looked for nearby when showing
    // the page moved it. An appended fragment never gets a base address: its addresses are made
    // absolute.
    void ArmPictureLocalization(const std::string& pageFile, std::size_t begin = 0, std::size_t end = std::string::npos,
                                std::string fragment = {});

    // Page text commands.
    void BtnUnicodeClick();
    void BtnCleanupClick();
    void ToolButton8Click();  // pure text

    // Writes a page file atomically after copying its previous content to "html.bak".
    [[nodiscard]] bool WritePageFile(const std::string& file, const std::string& text);
    // Writes a page file of the collection atomically, unless the collection folder is no
    // longer the one loaded (the user is told).
    [[nodiscard]] bool SavePageText(const std::string& text, const std::string& file);
    void ReportSaveFailure();
    // Creates the collection folder when it is missing, unless it is no longer the folder the
    // tree was loaded from (then the user is told and nothing is created).
    [[nodiscard]] bool EnsureCollectionFolder();
    // The collection folder is the one the tree was loaded from (or made by this session); once
    // it was moved, renamed or replaced, saving into its path would make a collection whose
    // tree names pages that are not there. Tells the user when it is not.
    bool CollectionFolderUnmoved();
    // The same question without telling the user: true once the collection folder was moved,
    // renamed or replaced.
    bool CollectionFolderMoved() const;

private:
    struct PendingPictures {
        std::string source;  // the file whose text is localised
        std::string target;  // the page it is written to
        std::size_t begin = 0, end = std::string::npos;
        std::string fragment;
        static PendingPictures WholePage(std::string source, std::string target)
        {
            PendingPictures p;
            p.source = std::move(source);
            p.target = std::move(target);
            return p;
        }
    };

    // Rewrites the current page's file; false when it could not be read or written.
    [[nodiscard]] bool TransformCurrentPage(std::string (*transform)(std::string_view));
    // The same, then shows it again; a failure is told instead.
    void TransformAndShowCurrentPage(std::string (*transform)(std::string_view));
    void FinishClipboardAppend(const ClipboardAppend& job);
    std::string CollectionDir() const { return ctx_.settings.CollectionDir; }

    CollectionContext ctx_;
    CollectionTree& tree_;
    PageViews& views_;
    EditorWindow& window_;
    EditorDialogs& dialogs_;
    const Clock& clock_;
    RandomSource random_;
    UrlCacheLookup findCachedFile_;
    // The page file the active view's document belongs to; saves go there.
    std::string viewPageFile_;
    std::optional<PendingPictures> pendingPictures_;
    std::optional<ClipboardAppend> clipboardAppend_;
    bool homepageImport_ = false;
    bool newClipPending_ = false;
    bool forceSave_ = false;
    DocumentWork documentWork_ = DocumentWork::None;
    bool treeFilesUnreadable_ = false;
    bool textUnreadable_ = false;
    std::optional<FolderIdentity> collectionFolder_;  // noted at the first load or creation
};

}  // namespace ql
