#include "app/editor/session/ClipIntake.h"

#include "app/collection/ClipFragment.h"
#include "app/collection/HtmlTags.h"
#include "app/collection/PageId.h"
#include "app/collection/TreeText.h"
#include "app/editor/session/PageSession.h"
#include "foundation/VekBaseClass.h"

#include <unistd.h>

namespace ql {

ClipIntake::ClipIntake(PageSession& session, PageViews& views, EditorWindow& window, EditorDialogs& dialogs)
    : session_(session), views_(views), window_(window), dialogs_(dialogs)
{
}

TreeNode* ClipIntake::ClipTarget() const { return clipTarget_ ? session_.EditorTree().Find(clipTarget_) : nullptr; }

void ClipIntake::SetClipTarget(TreeNode* node)
{
    clipTarget_ = (node && &node->Tree() == &session_.EditorTree()) ? node->Serial() : 0;
}

TreeNode* ClipIntake::AddClip(const std::string& content, const std::string& title)
{
    return StoreClip(content, title, false);
}

TreeNode* ClipIntake::StoreClip(const std::string& content, const std::string& title, bool keepPictures)
{
    // When the open page could not be saved (the user was told), its edits are still only in
    // the view: a clip may go into a page of its own, but not into the file the view would then
    // show again in their place.
    const bool openPageSaved = session_.SaveCurrentPage("");
    TreeNode* target = ClipTarget();
    CollectionTree& tree = session_.EditorTree();
    // A new collection has no node to aim at: its first clip becomes its first node rather than
    // vanish. A tree not loaded yet is not known to be empty.
    const bool firstNode = !target && tree.Loaded() && tree.Empty();
    if (!target && !firstNode)
        return nullptr;
    TSettings& s = session_.AppSettings();

    std::string caption = TrimControls(CleanCaption(title));
    if (caption.empty())
        caption = Enclose("(", session_.GetClock().TimeOfDay(), ")");

    TreeNode* result = nullptr;
    if (s.DragCreateNew || firstNode) {
        const Attach mode = (ClipMode == Attach::LastSibling || ClipMode == Attach::InsertBefore) ? ClipMode
                                                                                                  : Attach::LastChild;
        TreeNode* node = tree.AddNode(target, mode, caption);  // without a target: at the top
        const std::string id = session_.MakeNodeFileName(*node);
        tree.SetPageId(node, id);
        const std::string file = PageFileName(s.CollectionDir, id);
        if (!session_.EnsureCollectionFolder() || !SaveTextToFile(content, file)) {
            // No node is kept without its page: it would show, and later save, an empty one.
            tree.Delete(node);
            session_.ReportSaveFailure();
            return nullptr;
        }
        if (keepPictures)
            session_.ArmPictureLocalization(file);
        if (mode == Attach::LastChild && target)
            window_.ExpandNode(target);
        window_.SelectNode(node);
        if (tree.Selected() == node)
            s.CurrentPageFile = file;
        window_.SetStatusText("");
        result = node;
    } else if (views_.ActiveView() == kViewText) {
        views_.TextAppendLine(content);
    } else {
        if (s.CurrentPageFile.empty() || !openPageSaved)
            return nullptr;  // no page is open, or its edits would be lost
        if (!session_.AppendClipToPage(s.CurrentPageFile, content, keepPictures))
            return nullptr;
    }
    session_.SaveTree();
    session_.NotePageSaved();
    return result;
}

void ClipIntake::DiscardClipNode(TreeNode* node)
{
    CollectionTree& tree = session_.EditorTree();
    if (!node || &node->Tree() != &tree)
        return;
    const std::string id = node->PageId();
    if (IsValidPageId(id) && !tree.UsesPageId(id, node)) {
        ::unlink(PageFileName(session_.AppSettings().CollectionDir, id).c_str());
        session_.NotePageDeleted(id);
    }
    tree.Delete(node);
    if (TreeNode* target = ClipTarget())
        window_.SelectNode(target);
    session_.SaveTree();
}

void ClipIntake::DropHTMLClip(const std::string& url, StringList lines, const std::string& selectedText)
{
    BusyCursor busy(window_);
    TSettings& s = session_.AppSettings();
    std::string text = TrimControls(selectedText);
    if (text.empty())
        text = url;
    const std::string title = text.empty() ? session_.GetClock().TimeOfDay()
                                           : Utf8Left(FirstLine(text), kClipTitleChars);
    if (views_.ActiveView() == kViewBrowse)
        views_.SwitchView(kViewHtml, false);
    session_.ClipSourceUrl() = url;

    const bool asHtml = s.DragUseHtml && views_.ActiveView() != kViewText;
    bool keepPictures = false;
    if (s.DragUseHtml) {
        CutClipFragment(lines, s.DragCreateNew);
        if (!s.DragIncludeImage) {
            if (!s.DragCreateNew) {
                // A base address would re-point the page's older content ("!images\" pictures
                // among it): the appended fragment's own addresses are made absolute instead.
                lines = SplitPageLines(MakeClipAddressesAbsolute(JoinPageLines(lines), url));
            } else if (!ContainsNoCase(JoinPageLines(lines), "<base ")) {
                lines.insert(lines.begin(), ClipBaseLine(url));
            }
            session_.ExpectNewClip();
        } else {
            // Only a clip stored as HTML has pictures to keep; a pending request would
            // otherwise hit whatever page the HTML view loads next.
            keepPictures = asHtml;
        }
        lines.insert(lines.begin(), ClipFromLine(url));
    }
    if (!asHtml) {
        StoreClip(selectedText, title, false);
    } else if (s.DragUseUnicode) {
        StoreClip(JoinPageLines(lines), title, keepPictures);
    } else if (s.DragCreateNew) {
        session_.SetClipboardAppend(std::nullopt);
        StoreClip("", title, false);
        window_.ScheduleAction(ZoneAction::CopyAndPaste, kActionIntervalMs, 1);
    } else {
        // The source copies its selection to the clipboard, which is pasted into a new document
        // and from there appended to the open page (see PageSession::dtDocumentComplete), which
        // then shows the page file again: unsaved edits (the user was told) would be lost.
        if (!session_.SaveCurrentPage("") || !ClipTarget() || s.CurrentPageFile.empty())
            return;
        session_.SetClipboardAppend(PageSession::ClipboardAppend{s.CurrentPageFile, url, keepPictures});
        window_.ScheduleAction(ZoneAction::CopyAndPaste, kActionIntervalMs, 1);
    }
}

TreeNode* ClipIntake::AddTextClip(const std::string& text) { return AddClip(text, Utf8Left(text, kClipTitleChars)); }

std::string LinkClipPage(const std::string& url, const std::string& linkTitle)
{
    const std::string label = TrimControls(linkTitle).empty() ? url : TrimControls(linkTitle);
    return ClipFromLine(url) + "\r\n<a href=\"" + EscapeHtmlAttribute(url) + "\">" + EscapeHtmlText(label) +
           "</a><br>\r\n";
}

TreeNode* ClipIntake::AddUrlClip(const std::string& url, const std::string& linkTitle)
{
    session_.ClipSourceUrl() = url;
    return AddClip(LinkClipPage(url, linkTitle), Utf8Left(linkTitle, kClipTitleChars));
}

void ClipIntake::LoadfromURL1Click()
{
    std::optional<std::string> url = dialogs_.InputBox("Input Url: ", "", "");
    if (url && !TrimControls(*url).empty())
        views_.HtmlLoadUrl(TrimControls(*url));
}

void ClipIntake::AddClipboardBClick(const std::function<TreeNode*()>& addNode)
{
    TreeNode* node = addNode ? addNode() : nullptr;
    if (!node)
        return;
    views_.SwitchView(kViewHtml, true);
    const std::string text = window_.ClipboardText();
    std::string caption = TrimControls(CleanCaption(Utf8Left(text, kClipTitleChars)));
    session_.EditorTree().SetText(node, caption.empty() ? "New" : caption);
    session_.SetClipboardAppend(std::nullopt);
    session_.StartClipboardPaste();
    (void)session_.SaveCurrentPage("");  // a failure is told by the save; the clip stays in the view
}

}  // namespace ql
