#include "platform/gui/ShellImageLists_wx.h"

#include <wx/artprov.h>
#include <wx/dcmemory.h>

#include "platform/core/shell/ShellFileInfo.h"

namespace ql::shell {

namespace {

wxBitmap ThemeIcon(const std::vector<std::string>& names, int size)
{
    for (const auto& name : names) {
        wxBitmap bmp = wxArtProvider::GetBitmap(wxString::FromUTF8(name), wxART_OTHER, wxSize(size, size));
        if (bmp.IsOk()) {
            if (bmp.GetWidth() != size || bmp.GetHeight() != size) {
                wxImage img = bmp.ConvertToImage();
                img.Rescale(size, size, wxIMAGE_QUALITY_HIGH);
                bmp = wxBitmap(img);
            }
            return bmp;
        }
    }
    // A plain page, so an item is never without a picture.
    wxImage img(size, size);
    img.InitAlpha();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            bool edge = x == size / 8 || x == size - 1 - size / 8 || y == 0 || y == size - 1;
            bool inside = x > size / 8 && x < size - 1 - size / 8;
            img.SetRGB(x, y, edge ? 96 : 255, edge ? 96 : 255, edge ? 96 : 255);
            img.SetAlpha(x, y, edge || inside ? 255 : 0);
        }
    return wxBitmap(img);
}

}  // namespace

SystemImageLists::SystemImageLists() = default;

SystemImageLists& SystemImageLists::Get()
{
    static SystemImageLists lists;
    return lists;
}

wxImageList* SystemImageLists::List(int kind) { return kind == 0 ? &small_ : &large_; }

int SystemImageLists::Append(const std::vector<std::string>& names)
{
    int index = small_.Add(ThemeIcon(names, 16));
    large_.Add(ThemeIcon(names, 32));
    return index;
}

int SystemImageLists::IndexFor(const std::vector<std::string>& names)
{
    auto found = indexOf_.find(names);
    if (found != indexOf_.end())
        return found->second;
    int index = Append(names);
    indexOf_.emplace(names, index);
    return index;
}

void SystemImageLists::AddOverlays()
{
    if (overlays_[0] >= 0)
        return;
    overlays_[0] = Append({"emblem-symbolic-link", "emblem-link"});
    overlays_[1] = Append({"emblem-shared", "emblem-people"});
}

int SystemImageLists::OverlayImage(int overlay) const
{
    return overlay == 1 || overlay == 2 ? overlays_[overlay - 1] : -1;
}

int GetIconIndex(const ItemIdList& absolute, unsigned flags)
{
    auto names = IconNamesOf(absolute, flags & SHGFI_OPENICON);
    if (names.empty())
        return 0;
    return SystemImageLists::Get().IndexFor(names);
}

}  // namespace ql::shell
