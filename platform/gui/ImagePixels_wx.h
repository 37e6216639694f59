#pragma once
// A toolkit image as the RGBA pixels our own records carry.
#include "platform/core/Dib.h"

class wxImage;

namespace ql {

// Top row first; opaque where the image has no alpha channel.
RgbaImage ImagePixels(const wxImage& image);

}  // namespace ql
