#include "components/shell/ShellIcons_wx.h"

namespace ql::shellctl {

int GetIconIndex(const ItemIdList* absolute, unsigned flags)
{
    return absolute ? shell::GetIconIndex(*absolute, flags) : 0;
}

wxImageList* GetSystemImageList(int kind)
{
    auto& lists = shell::SystemImageLists::Get();
    if (IsWinNT() && ComCtlVersion.dwFileVersionMS >= kComCtlOverlays)
        lists.AddOverlays();
    return lists.List(kind);
}

}  // namespace ql::shellctl
