#include "app/editor/EditorDialogs_wx.h"

#include "foundation/Dialogs_wx.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/textdlg.h>

namespace ql {

void WxEditorDialogs::ShowMessage(const std::string& text) { WxDialogs().ShowMessage(text); }

bool WxEditorDialogs::AskYesNo(const std::string& caption, const std::string& text)
{
    return wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(caption), wxYES_NO | wxICON_QUESTION, parent_) ==
           wxYES;
}

std::optional<std::string> WxEditorDialogs::InputBox(const std::string& caption, const std::string& prompt,
                                                     const std::string& value)
{
    wxTextEntryDialog dialog(parent_, wxString::FromUTF8(prompt), wxString::FromUTF8(caption),
                             wxString::FromUTF8(value));
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return std::string(dialog.GetValue().utf8_str());
}

std::optional<std::string> WxEditorDialogs::OpenFile(const std::string& filter)
{
    wxFileDialog dialog(parent_, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString, wxString::FromUTF8(filter),
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return std::string(dialog.GetPath().utf8_str());
}

std::optional<std::string> WxExportDialogs::SaveFile(const std::string& filter, const std::string& proposedName)
{
    wxFileDialog dialog(parent_, wxFileSelectorPromptStr, wxEmptyString, wxString::FromUTF8(proposedName),
                        wxString::FromUTF8(filter), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return std::string(dialog.GetPath().utf8_str());
}

std::optional<std::string> WxExportDialogs::SelectFolder(const std::string& caption)
{
    wxDirDialog dialog(parent_, wxString::FromUTF8(caption), wxEmptyString, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return std::string(dialog.GetPath().utf8_str());
}

}  // namespace ql
