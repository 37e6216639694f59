#pragma once
// The process's system image lists: one of small (16 px) and one of large (32 px) icons from
// the desktop's icon theme, filled on demand with the same index in both, plus the overlay
// images for links and shared items.
#include <map>
#include <string>
#include <vector>
#include <wx/imaglist.h>

#include "platform/core/shell/ItemIdList.h"

namespace ql::shell {

inline constexpr unsigned SHGFI_LARGEICON = 0x0;
inline constexpr unsigned SHGFI_SMALLICON = 0x1;
inline constexpr unsigned SHGFI_OPENICON = 0x2;

class SystemImageLists {
public:
    static SystemImageLists& Get();  // GUI thread only

    // kind 0: small icons, 1: large icons.
    wxImageList* List(int kind);
    // The index of the first theme icon of `names` found (the same in both lists); icons are
    // loaded once per name list. A generic picture stands in when the theme has none.
    int IndexFor(const std::vector<std::string>& names);
    // Adds the overlay images once: overlay 1 marks links, overlay 2 shared items.
    void AddOverlays();
    // The image index of overlay 1 or 2; -1 before AddOverlays or for another number.
    int OverlayImage(int overlay) const;

private:
    SystemImageLists();
    int Append(const std::vector<std::string>& names);

    wxImageList small_{16, 16, true};
    wxImageList large_{32, 32, true};
    std::map<std::vector<std::string>, int> indexOf_;
    int overlays_[2] = {-1, -1};
};

// The icon index of the item an absolute list names (SHGFI_OPENICON for an open folder); 0
// when it names nothing. The size flags choose nothing here: both lists share their indexes.
int GetIconIndex(const ItemIdList& absolute, unsigned flags);

}  // namespace ql::shell
