#pragma once
// How the zone's tree behaves under the pointer: the node under it is drawn hot (underlined,
// in the desktop's hot-tracking colour), a right click selects the node it hits, and nodes
// show no tool tips.
class wxTreeCtrl;

namespace ql {

void GiveZoneTreeItsManners(wxTreeCtrl* tree);

}  // namespace ql
