#pragma once
// How the zone's tree behaves under the pointer: the node under it is drawn hot (underlined,
// in the desktop's hot-tracking colour) and nodes show no tool tips. A right click selects the
// node it hits: the toolkit's tree does that itself.
class wxTreeCtrl;

namespace ql {

void GiveZoneTreeItsManners(wxTreeCtrl* tree);

}  // namespace ql
