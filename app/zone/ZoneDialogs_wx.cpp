#include "app/zone/ZoneDialogs_wx.h"

#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/textdlg.h>

namespace ql {

bool WxZoneDialogs::AskYesNo(const std::string& caption, const std::string& text)
{
    return wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(caption), wxYES_NO | wxICON_QUESTION, Parent) == wxYES;
}

std::optional<std::string> WxZoneDialogs::InputBox(const std::string& caption, const std::string& prompt,
                                                   const std::string& value)
{
    wxTextEntryDialog dlg(Parent, wxString::FromUTF8(prompt), wxString::FromUTF8(caption), wxString::FromUTF8(value));
    if (dlg.ShowModal() != wxID_OK)
        return std::nullopt;
    return std::string(dlg.GetValue().utf8_str());
}

std::optional<std::string> WxZoneDialogs::OpenFile(const std::string& filter)
{
    wxFileDialog dlg(Parent, wxFileSelectorPromptStr, wxEmptyString, wxEmptyString, wxString::FromUTF8(filter),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK)
        return std::nullopt;
    return std::string(dlg.GetPath().utf8_str());
}

}  // namespace ql
