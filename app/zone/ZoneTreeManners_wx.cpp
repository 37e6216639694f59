#include "app/zone/ZoneTreeManners_wx.h"

#include <wx/settings.h>
#include <wx/treectrl.h>

#include <memory>

namespace ql {

namespace {

// The node under a point of the tree: its text or its picture, not the space beside it.
wxTreeItemId NodeAt(wxTreeCtrl* tree, const wxPoint& at)
{
    int flags = 0;
    const wxTreeItemId item = tree->HitTest(at, flags);
    return item.IsOk() && (flags & (wxTREE_HITTEST_ONITEMLABEL | wxTREE_HITTEST_ONITEMICON)) ? item : wxTreeItemId();
}

}  // namespace

void GiveZoneTreeItsManners(wxTreeCtrl* tree)
{
    // The state lives with the tree's handlers, so it goes with the tree.
    auto hot = std::make_shared<wxTreeItemId>();
    auto setHot = [tree, hot](const wxTreeItemId& item) {
        if (item == *hot)
            return;
        if (hot->IsOk()) {
            tree->SetItemFont(*hot, wxNullFont);
            tree->SetItemTextColour(*hot, wxNullColour);
        }
        *hot = item;
        if (item.IsOk()) {
            wxFont font = tree->GetFont();
            font.SetUnderlined(true);
            tree->SetItemFont(item, font);
            tree->SetItemTextColour(item, wxSystemSettings::GetColour(wxSYS_COLOUR_HOTLIGHT));
        }
    };
    // The pointer can come straight onto a node: the entry counts as a move.
    const auto track = [tree, setHot](wxMouseEvent& e) {
        e.Skip();
        setHot(NodeAt(tree, e.GetPosition()));
    };
    tree->Bind(wxEVT_MOTION, track);
    tree->Bind(wxEVT_ENTER_WINDOW, track);
    tree->Bind(wxEVT_LEAVE_WINDOW, [setHot](wxMouseEvent& e) {
        e.Skip();
        setHot(wxTreeItemId());
    });
    tree->Bind(wxEVT_TREE_DELETE_ITEM, [hot](wxTreeEvent& e) {
        e.Skip();
        if (e.GetItem() == *hot)
            *hot = wxTreeItemId();
    });
    tree->UnsetToolTip();
}

}  // namespace ql
