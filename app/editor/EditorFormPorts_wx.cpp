#include "app/editor/EditorFormPorts_wx.h"

#include "app/editor/EditorTreeView_wx.h"
#include "components/browserhost/Pages_wx.h"
#include "components/browserhost/PanelStatusBar_wx.h"
#include "components/browserhost/WebHost_wx.h"
#include "platform/gui/HtmlEditCommands.h"
#include "platform/gui/HtmlEditControl_wx.h"

#include <wx/clipbrd.h>
#include <wx/textctrl.h>
#include <wx/treectrl.h>
#include <wx/utils.h>

namespace ql {

namespace {

// Text lines as the Text view holds them (LF) and as pages keep them (CR LF).
std::string WithoutCr(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

int TEditorForm::Views::ActiveView() const { return form_.ActiveView(); }

void TEditorForm::Views::BrowseNavigate(const std::string& file)
{
    if (form_.web)
        form_.web->NavigateToUrl(file);
}

bool TEditorForm::Views::HtmlBusy() const { return form_.HtmlEditor && form_.HtmlEditor->Busy(); }

bool TEditorForm::Views::HtmlIsDirty() const { return form_.HtmlEditor && form_.HtmlEditor->IsDirty(); }

std::string TEditorForm::Views::HtmlDocumentHtml() const
{
    return form_.HtmlEditor ? form_.HtmlEditor->DocumentHTML() : std::string();
}

void TEditorForm::Views::HtmlLoadDocument(const std::string& file)
{
    if (form_.HtmlEditor)
        form_.HtmlEditor->LoadDocument(file);
}

void TEditorForm::Views::HtmlNewDocument()
{
    if (form_.HtmlEditor)
        form_.HtmlEditor->NewDocument();
}

void TEditorForm::Views::HtmlLoadUrl(const std::string& url)
{
    if (form_.HtmlEditor)
        form_.HtmlEditor->LoadURL(url);
}

void TEditorForm::Views::HtmlPaste()
{
    if (form_.HtmlEditor)
        form_.HtmlEditor->ExecCommand(web::DECMD_PASTE, 2);
}

void TEditorForm::Views::HtmlMarkSaved()
{
    if (form_.HtmlEditor)
        form_.HtmlEditor->MarkSaved();
}

bool TEditorForm::Views::TextModified() const { return form_.SourceEditor->IsModified(); }

std::string TEditorForm::Views::TextContent() const
{
    const wxString value = form_.SourceEditor->GetValue();
    if (latin1_) {
        const auto bytes = value.To8BitData();  // no copy: the buffer is shared, not owned twice
        return std::string(bytes.data(), bytes.length());
    }
    return std::string(value.utf8_str());
}

void TEditorForm::Views::SetTextContent(const std::string& text, bool modified)
{
    const std::string lines = WithoutCr(text);
    wxString value = wxString::FromUTF8(lines.data(), lines.size());
    latin1_ = value.empty() && !lines.empty();
    if (latin1_)
        value = wxString::From8BitData(lines.data(), lines.size());
    form_.SourceEditor->ChangeValue(value);
    if (modified)
        form_.SourceEditor->MarkDirty();
    else
        form_.SourceEditor->DiscardEdits();
}

void TEditorForm::Views::TextMarkSaved() { form_.SourceEditor->DiscardEdits(); }

void TEditorForm::Views::TextAppendLine(const std::string& line)
{
    wxString value = form_.SourceEditor->GetValue();
    if (!value.empty() && !value.EndsWith("\n"))
        value += "\n";
    value += wxString::FromUTF8(WithoutCr(line)) + "\n";
    form_.SourceEditor->ChangeValue(value);
    form_.SourceEditor->MarkDirty();
}

void TEditorForm::Views::SetTextReadOnly(bool readOnly) { form_.SourceEditor->SetEditable(!readOnly); }

void TEditorForm::Window::SetStatusText(const std::string& text)
{
    form_.StatusBar1->SetStatusText(wxString::FromUTF8(text), 0);
}

void TEditorForm::Window::HideEditor() { form_.Hide(); }

void TEditorForm::Window::SelectNode(TreeNode* node)
{
    if (form_.session_->TVChanging(node)) {
        form_.tree_.Select(node);
        form_.PointImageList();
    }
}

void TEditorForm::Window::ExpandNode(TreeNode* node)
{
    if (wxTreeItemId item = form_.treeView_->ItemOf(node); item.IsOk())
        form_.TV->Expand(item);
}

void TEditorForm::Window::SetDropHighlight(TreeNode* node)
{
    if (TreeNode* old = highlighted_ ? form_.tree_.Find(highlighted_) : nullptr)
        form_.TV->SetItemDropHighlight(form_.treeView_->ItemOf(old), false);
    highlighted_ = 0;
    if (wxTreeItemId item = form_.treeView_->ItemOf(node); item.IsOk()) {
        form_.TV->SetItemDropHighlight(item, true);
        highlighted_ = node->Serial();
    }
}

void TEditorForm::Window::SetBusyCursor(bool busy)
{
    if (busy)
        wxBeginBusyCursor();
    else
        wxEndBusyCursor();
}

void TEditorForm::Window::ScheduleAction(ZoneAction action, int intervalMs, int ticks)
{
    form_.actions_->Arm(action, intervalMs, ticks);
}

std::string TEditorForm::Window::ClipboardText()
{
    std::string text;
    if (wxTheClipboard->Open()) {
        wxTextDataObject data;
        if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && wxTheClipboard->GetData(data))
            text = data.GetText().utf8_str();
        wxTheClipboard->Close();
    }
    return text;
}

}  // namespace ql
