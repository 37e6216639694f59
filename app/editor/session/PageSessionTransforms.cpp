// The page text commands: the Unicode toggle, the clean-up and the pure-text conversion.
#include "app/editor/session/PageSession.h"

#include "app/collection/TextTransforms.h"
#include "platform/core/SafeFile.h"

namespace ql {

void PageSession::BtnUnicodeClick()
{
    if (!ctx_.settings.CurrentPageFile.empty())
        TransformAndShowCurrentPage(ToggleUnicode);
}

void PageSession::BtnCleanupClick()
{
    // The clean-up works on the file and shows it again: edits that could not be saved (the
    // user was told) would be lost.
    if (!ctx_.settings.CurrentPageFile.empty() && SaveCurrentPage(""))
        TransformAndShowCurrentPage(CleanUpPageText);
}

void PageSession::TransformAndShowCurrentPage(std::string (*transform)(std::string_view))
{
    const std::string& file = ctx_.settings.CurrentPageFile;
    if (!ReadFileBytes(file, kMaxPageBytes)) {
        dialogs_.ShowMessage("Cannot open " + file);
        return;
    }
    if (!TransformCurrentPage(transform)) {
        ReportSaveFailure();
        return;
    }
    ShowCurrentPage("");
}

void PageSession::ToolButton8Click()
{
    if (!dialogs_.AskYesNo("Pure Text", "Clear all html tag and keep only pure text?"))
        return;
    const std::string file = ctx_.settings.CurrentPageFile;
    if (file.empty())
        return;
    // The rendering reads the page file: edits not yet in it would be lost.
    if (!SaveCurrentPage(""))
        return;
    // The Text view then holds the text as an unsaved change: the next save replaces the page.
    views_.RenderPlainText(file, [this, file](const std::string& text) {
        if (ctx_.settings.CurrentPageFile == file)
            views_.SetTextContent(text, true);
    });
}

}  // namespace ql
