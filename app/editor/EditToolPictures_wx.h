#pragma once
// The pictures of the editing toolbar, drawn here at 16 x 16 pixels on a transparent ground.
#include <wx/bitmap.h>

namespace ql {

enum class EditToolPicture {
    Background,
    Highlight,
    Bold,
    Italic,
    Underline,
    FontColor,
    Numbers,
    Bullets,
    LeftJustify,
    Center,
    RightJustify,
    Picture,
    Anchor,
};

wxBitmap DrawEditToolPicture(EditToolPicture picture);

}  // namespace ql
