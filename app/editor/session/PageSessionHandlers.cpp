// The editor window's handlers around the current page.
#include "app/editor/session/PageSession.h"

#include "foundation/VekBaseClass.h"
#include "platform/core/SafeFile.h"

namespace ql {

bool PageSession::TVChanging(TreeNode* node)
{
    if (TreeNode* old = tree_.Selected()) {
        if (!SaveCurrentPage(PageIdOfNode(old)))
            return false;
    }
    ShowCurrentPage(PageIdOfNode(node));
    window_.SetStatusText("[FILENAME] " + ctx_.settings.CurrentPageFile +
                          (textUnreadable_ ? kTextViewReadOnlyNote : ""));
    return true;
}

bool PageSession::PageControl1Changing()
{
    const int view = views_.ActiveView();
    const bool unsaved = (view == kViewHtml && (views_.HtmlIsDirty() || forceSave_)) ||
                         (view == kViewText && views_.TextModified());
    return !unsaved || SaveCurrentPage("");
}

void PageSession::PageControl1Change() { ShowCurrentPage(PageIdOfNode(tree_.Selected())); }

void PageSession::ToolButton12Click()
{
    if (!dialogs_.AskYesNo("Empty", "Clear all, are you sure?"))
        return;
    EmptyActiveView(views_);
    // The page the view shows, where its saves go too; the current page may already be another
    // (a new clip's, being prepared).
    const std::string file = viewPageFile_.empty() ? ctx_.settings.CurrentPageFile : viewPageFile_;
    if (!file.empty() && !SavePageText("", file))
        ReportSaveFailure();
    ShowCurrentPage("");
}

void PageSession::ToolButton14Click() { (void)SaveCurrentPage(""); }  // a failure is told by the save

void PageSession::ToolButton46Click()
{
    const int view = views_.ActiveView();
    if (view == kViewBrowse) {
        views_.SwitchView(kViewHtml, true);
        return;
    }
    std::optional<std::string> file = dialogs_.OpenFile(kOpenPageFilter);
    if (!file || file->empty())
        return;
    if (view == kViewHtml) {
        // The file's own path is the source, so its pictures are taken from its folder.
        OpenPageForPictures(*file, *file);
    } else if (auto bytes = ReadFileBytes(*file, kMaxPageBytes)) {
        views_.SetTextContent(*bytes, true);  // replaces the page at the next save
    } else {
        dialogs_.ShowMessage("Cannot open " + *file);
    }
}

void PageSession::FormClose() { (void)SaveEditorState(); }  // failures are told by the saves

}  // namespace ql
