#pragma once
// A framed pane: a group with a lowered frame, a least size and an index for whoever lays the
// panes out. Known to wx's class registry as "TSvPane".
#include "components/shell/SvFrame_wx.h"

namespace ql::shellctl {

class TSvPane : public TSvGroup {
public:
    TSvPane() = default;
    TSvPane(wxWindow* parent, wxWindowID id = wxID_ANY, const wxString& caption = wxString(),
            const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(64, 48));
    bool Create(wxWindow* parent, wxWindowID id = wxID_ANY, const wxString& caption = wxString(),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(64, 48));

    int MinSize = 20;
    int Index = 0;

private:
    wxDECLARE_DYNAMIC_CLASS(TSvPane);
};

}  // namespace ql::shellctl
