#pragma once
// The icons of shell items for the controls: indexes into the system image lists.
#include <wx/imaglist.h>

#include "components/shell/ShellUtils.h"
#include "platform/gui/ShellImageLists_wx.h"

namespace ql::shellctl {

// The item's icon index; 0 for nil or an item that names nothing.
int GetIconIndex(const ItemIdList* absolute, unsigned flags);
// kind 0: small icons, 1: large; the overlay images are added with the first request.
wxImageList* GetSystemImageList(int kind);

}  // namespace ql::shellctl
