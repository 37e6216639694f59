#include "platform/gui/ImagePixels_wx.h"

#include <wx/image.h>

namespace ql {

RgbaImage ImagePixels(const wxImage& image)
{
    RgbaImage out;
    out.width = image.GetWidth();
    out.height = image.GetHeight();
    const std::size_t n = static_cast<std::size_t>(out.width) * out.height;
    out.rgba.resize(n * 4);
    const unsigned char* rgb = image.GetData();
    const unsigned char* alpha = image.HasAlpha() ? image.GetAlpha() : nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        out.rgba[4 * i] = rgb[3 * i];
        out.rgba[4 * i + 1] = rgb[3 * i + 1];
        out.rgba[4 * i + 2] = rgb[3 * i + 2];
        out.rgba[4 * i + 3] = alpha ? alpha[i] : 255;
    }
    return out;
}

}  // namespace ql
