#pragma once
// The icons of shell items for the controls: indexes into the system image lists.
#include <map>
#include <utility>

#include <wx/imaglist.h>

#include "components/shell/ShellUtils.h"
#include "platform/gui/ShellImageLists_wx.h"

namespace ql::shellctl {

// The item's icon index; 0 for nil or an item that names nothing.
int GetIconIndex(const ItemIdList* absolute, unsigned flags);
// kind 0: small icons, 1: large; the overlay images are added with the first request.
wxImageList* GetSystemImageList(int kind);

// A control's own small images: system icons with an overlay drawn over them (one image per
// item, so that an item's icon and its mark are one picture).
class OverlaidIcons {
public:
    wxImageList* List() { return &images_; }
    // The image of a system small icon with overlay -1 (none), 0 (shared) or 1 (link); -1 for
    // an index the system list does not have.
    int ImageFor(int systemIndex, int overlay);

private:
    wxImageList images_{16, 16, true};
    std::map<std::pair<int, int>, int> imageOf_;
};

}  // namespace ql::shellctl
