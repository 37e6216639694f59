// The page text commands: the Unicode toggle, the clean-up and the pure-text conversion.
#include "app/editor/session/PageSession.h"

#include "app/collection/TextTransforms.h"
#include "platform/core/SafeFile.h"

namespace ql {

void PageSession::BtnUnicodeClick()
{
    const std::string& file = ctx_.settings.CurrentPageFile;
    if (file.empty())
        return;
    if (!ReadFileBytes(file, kMaxPageBytes)) {
        dialogs_.ShowMessage("Cannot open " + file);
        return;
    }
    if (!TransformCurrentPage(ToggleUnicode)) {
        ReportSaveFailure();
        return;
    }
    ShowCurrentPage("");
}

void PageSession::BtnCleanupClick()
{
    if (ctx_.settings.CurrentPageFile.empty())
        return;
    // Failures are swallowed: the page stays as far as it got.
    SaveCurrentPage("");
    if (TransformCurrentPage(CleanUpPageText))
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
