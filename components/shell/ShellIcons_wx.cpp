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
        // The desktop's emblems are whole pictures: drawn at half size into the lower left
        // corner, they mark the icon without hiding it.
        wxImage over = system->GetBitmap(mark).ConvertToImage();
        over.Rescale(std::max(1, icon.GetWidth() / 2), std::max(1, icon.GetHeight() / 2), wxIMAGE_QUALITY_HIGH);
        if (!icon.HasAlpha())
            icon.InitAlpha();
        const int left = 0, top = icon.GetHeight() - over.GetHeight();
        for (int y = 0; y < over.GetHeight(); ++y)
            for (int x = 0; x < over.GetWidth(); ++x) {
                const int a = over.HasAlpha() ? over.GetAlpha(x, y) : 255;
                if (a == 0 || (over.HasMask() && over.IsTransparent(x, y)))
                    continue;
                const int ix = left + x, iy = top + y;
                auto mix = [a](int above, int below) { return (above * a + below * (255 - a)) / 255; };
                icon.SetRGB(ix, iy, mix(over.GetRed(x, y), icon.GetRed(ix, iy)),
                            mix(over.GetGreen(x, y), icon.GetGreen(ix, iy)),
                            mix(over.GetBlue(x, y), icon.GetBlue(ix, iy)));
                icon.SetAlpha(ix, iy, std::max<int>(icon.GetAlpha(ix, iy), a));
            }
    }
    const int index = images_.Add(wxBitmap(icon));
    imageOf_[key] = index;
    return index;
}

}  // namespace ql::shellctl
