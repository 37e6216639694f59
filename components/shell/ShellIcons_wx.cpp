#include "components/shell/ShellIcons_wx.h"

#include <algorithm>

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

int OverlaidIcons::ImageFor(int systemIndex, int overlay)
{
    const auto key = std::make_pair(systemIndex, overlay);
    if (auto it = imageOf_.find(key); it != imageOf_.end())
        return it->second;
    wxImageList* system = GetSystemImageList(0);
    if (!system || systemIndex < 0 || systemIndex >= system->GetImageCount())
        return -1;
    wxImage icon = system->GetBitmap(systemIndex).ConvertToImage();
    // Overlay 0 marks shared items, overlay 1 links: the system list's overlay images 2 and 1.
    const int mark = overlay < 0 ? -1 : shell::SystemImageLists::Get().OverlayImage(overlay == 0 ? 2 : 1);
    if (mark >= 0 && mark < system->GetImageCount()) {
        const wxImage over = system->GetBitmap(mark).ConvertToImage();
        if (!icon.HasAlpha())
            icon.InitAlpha();
        const int w = std::min(icon.GetWidth(), over.GetWidth()), h = std::min(icon.GetHeight(), over.GetHeight());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int a = over.HasAlpha() ? over.GetAlpha(x, y) : 255;
                if (a == 0 || (over.HasMask() && over.IsTransparent(x, y)))
                    continue;
                auto mix = [a](int top, int below) { return (top * a + below * (255 - a)) / 255; };
                icon.SetRGB(x, y, mix(over.GetRed(x, y), icon.GetRed(x, y)), mix(over.GetGreen(x, y), icon.GetGreen(x, y)),
                            mix(over.GetBlue(x, y), icon.GetBlue(x, y)));
                icon.SetAlpha(x, y, std::max<int>(icon.GetAlpha(x, y), a));
            }
    }
    const int index = images_.Add(wxBitmap(icon));
    imageOf_[key] = index;
    return index;
}

}  // namespace ql::shellctl
