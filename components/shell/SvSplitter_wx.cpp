#include "components/shell/SvSplitter_wx.h"

namespace ql::shellctl {

TSvPane::TSvPane(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos, const wxSize& size)
{
    Create(parent, id, caption, pos, size);
}

bool TSvPane::Create(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos, const wxSize& size)
{
    if (!TSvGroup::Create(parent, id, caption, pos, size))
        return false;
    MinSize = 20;
    SetFrameStyle(svfsLowered);
    return true;
}

wxIMPLEMENT_DYNAMIC_CLASS(TSvPane, TSvGroup);

}  // namespace ql::shellctl
