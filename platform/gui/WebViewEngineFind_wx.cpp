// WebViewEngine: the find dialog.
#include "platform/gui/DomScript.h"
#include "platform/gui/WebViewEngineImpl_wx.h"

#include <wx/utils.h>

namespace ql::web {

namespace {

// The find dialog owns the data it edits, so neither can outlive the other.
class FindDialog : public wxFindReplaceDialog {
public:
    explicit FindDialog(wxWindow* parent) { Create(parent, &data_, "Find"); }

private:
    wxFindReplaceData data_{wxFR_DOWN};
};

}  // namespace

bool WebViewEngine::ShowFindDialog()
{
    if (!d_->Live())
        return false;
    if (d_->findDialog) {
        d_->findDialog->Raise();
        return true;
    }
    auto* dialog = new FindDialog(wxGetTopLevelParent(d_->view));
    std::weak_ptr<WebViewEngine> weak = weak_from_this();
    auto find = [weak](wxFindDialogEvent& ev) {
        auto e = weak.lock();
        if (!e)
            return;
        int flags = ev.GetFlags();
        json::Value found;
        com::HRESULT hr = RunDomScript(*e,
                                       FindInPageExpression(ev.GetFindString().utf8_string(),
                                                            (flags & wxFR_MATCHCASE) != 0,
                                                            (flags & wxFR_WHOLEWORD) != 0, (flags & wxFR_DOWN) == 0),
                                       &found);
        if (com::FAILED(hr) || !found.AsBool() || !*found.AsBool())
            wxBell();
    };
    dialog->Bind(wxEVT_FIND, find);
    dialog->Bind(wxEVT_FIND_NEXT, find);
    dialog->Bind(wxEVT_FIND_CLOSE, [](wxFindDialogEvent& ev) { ev.GetDialog()->Destroy(); });
    d_->findDialog = dialog;
    dialog->Show();
    return true;
}

}  // namespace ql::web
