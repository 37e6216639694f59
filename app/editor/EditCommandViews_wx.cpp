#include "app/editor/EditCommandViews_wx.h"

#include "app/editor/HtmlDocumentEdits.h"
#include "components/browserhost/WebHost_wx.h"
#include "foundation/VekAdvClass_wx.h"
#include "platform/core/com/OleCommandTarget.h"
#include "platform/gui/HtmlEditControl_wx.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <wx/colordlg.h>
#include <wx/filedlg.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>
#include <wx/webview.h>

namespace ql {

using namespace ql::com;

// --- Browse view --------------------------------------------------------------------------

void WxBrowseView::ExecDocumentCommand(std::uint32_t command)
{
    if (!web_)
        return;
    Variant in, out;
    web_->ExecDocumentCommand(false, command, OLECMDEXECOPT_DODEFAULT, in, out);
}

void WxBrowseView::CopySelection()
{
    if (web_)
        web_->CopySelection();
}

void WxBrowseView::SelectAllContent()
{
    if (web_)
        web_->SelectAllContent();
}

void WxBrowseView::OpenFindDialog()
{
    if (web_)
        web_->OpenFindDialog();
}

std::optional<bool> WxBrowseView::QueryCommandEnabled(const std::string& command)
{
    if (!web_)
        return std::nullopt;
    ComPtr<IDispatch> dispatch = web_->Document();
    ComPtr<IHTMLDocument2> document;
    if (!dispatch || FAILED(dispatch->QueryInterface(IHTMLDocument2::IID_, document.putVoid())) || !document)
        return std::nullopt;
    bool enabled = false;
    if (FAILED(document->queryCommandEnabled(WideFromUtf8(command), &enabled)))
        return std::nullopt;
    return enabled;
}

// --- HTML view ----------------------------------------------------------------------------

bool WxHtmlView::Busy()
{
    web::HtmlEditControl* edit = Editor();
    return edit && edit->Busy();
}

HRESULT WxHtmlView::ExecCommand(std::int32_t command, std::uint32_t option, const Variant& in, Variant* out)
{
    web::HtmlEditControl* edit = Editor();
    return edit ? edit->ExecCommand(command, option, in, out) : E_FAIL;
}

std::int32_t WxHtmlView::QueryStatus(std::int32_t command)
{
    web::HtmlEditControl* edit = Editor();
    return edit ? edit->QueryStatus(command) : 0;
}

DocCommandState WxHtmlView::QueryDocCommand(std::uint32_t command, bool tableGroup)
{
    web::HtmlEditControl* edit = Editor();
    return edit ? ql::QueryDocCommand(edit->DOM().get(), command, tableGroup) : DocCommandState{};
}

void WxHtmlView::Focus()
{
    if (web::HtmlEditControl* edit = Editor()) {
        if (wxWindow* view = edit->Engine().View())
            view->SetFocus();
        else
            edit->SetFocus();
    }
}

bool WxHtmlView::ReplaceSelectionHtml(const std::function<std::string(const std::string&)>& make)
{
    web::HtmlEditControl* edit = Editor();
    return edit && ql::ReplaceSelectionHtml(edit->DOM().get(), make);
}

std::optional<std::string> WxHtmlView::BackgroundColor()
{
    web::HtmlEditControl* edit = Editor();
    return edit ? DocumentBackgroundColor(edit->DOM().get()) : std::nullopt;
}

bool WxHtmlView::SetBackgroundColor(const std::string& color)
{
    web::HtmlEditControl* edit = Editor();
    return edit && SetDocumentBackgroundColor(edit->DOM().get(), color);
}

bool WxHtmlView::SetBackgroundPicture(const std::string& path)
{
    web::HtmlEditControl* edit = Editor();
    return edit && SetBodyBackground(edit->DOM().get(), path);
}

// --- Text view ----------------------------------------------------------------------------

bool WxTextView::CanUndo() { return edit_ && edit_->CanUndo(); }

void WxTextView::Undo()
{
    if (edit_)
        edit_->Undo();
}

bool WxTextView::HasSelection()
{
    if (!edit_)
        return false;
    long from = 0, to = 0;
    edit_->GetSelection(&from, &to);
    return from != to;
}

void WxTextView::Cut()
{
    if (edit_)
        edit_->Cut();
}

void WxTextView::Copy()
{
    if (edit_)
        edit_->Copy();
}

void WxTextView::Paste()
{
    if (edit_)
        edit_->Paste();
}

void WxTextView::DeleteSelection()
{
    if (edit_ && edit_->IsEditable())
        edit_->RemoveSelection();
}

void WxTextView::SelectAll()
{
    if (edit_)
        edit_->SelectAll();
}

void WxTextView::ShowFind()
{
    if (edit_)
        ShowRichEditFind(edit_);
}

bool WxTextView::Editable() { return edit_ && edit_->IsEditable(); }

std::string WxTextView::Text() { return edit_ ? edit_->GetValue().utf8_string() : std::string(); }

long WxTextView::Caret()
{
    if (!edit_)
        return 0;
    long from = 0, to = 0;
    edit_->GetSelection(&from, &to);
    return from;
}

void WxTextView::ReplaceText(const std::string& text, long caret)
{
    if (!edit_)
        return;
    // Written back as the user's edit: the view's change event runs and the text counts as
    // modified, so the next save keeps it.
    edit_->SetValue(wxString::FromUTF8(text));
    edit_->MarkDirty();
    edit_->SetInsertionPoint(caret);
    edit_->ShowPosition(caret);
}

// --- dialogs ------------------------------------------------------------------------------

bool WxEditCommandDialogs::PickColor(std::uint32_t& color)
{
    wxColourData data;
    data.SetChooseFull(true);
    data.SetColour(wxColour(static_cast<unsigned char>(color & 0xFF), static_cast<unsigned char>((color >> 8) & 0xFF),
                            static_cast<unsigned char>((color >> 16) & 0xFF)));
    wxColourDialog dialog(parent_ ? parent_() : nullptr, &data);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    const wxColour chosen = dialog.GetColourData().GetColour();
    color = static_cast<std::uint32_t>(chosen.Red()) | (static_cast<std::uint32_t>(chosen.Green()) << 8) |
            (static_cast<std::uint32_t>(chosen.Blue()) << 16);
    return true;
}

std::optional<std::string> WxEditCommandDialogs::PickPicture()
{
    wxFileDialog dialog(parent_ ? parent_() : nullptr, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString,
                        "Pictures|*.jpg;*.jpeg;*.png;*.gif;*.bmp;*.ico;*.svg;*.webp|All files|*",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return dialog.GetPath().utf8_string();
}

}  // namespace ql
