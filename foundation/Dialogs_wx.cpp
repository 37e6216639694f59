#include "foundation/Dialogs_wx.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

namespace ql {

void WxDialogs::ShowMessage(const std::string& text)
{
    wxString caption = wxTheApp ? wxTheApp->GetAppDisplayName() : wxString();
    wxMessageBox(wxString::FromUTF8(text), caption, wxOK);
}

}  // namespace ql
