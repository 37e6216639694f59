#include "components/browserhost/Colors.h"

namespace ql {

TColor ColorToRGB(TColor color, const SystemPalette& palette)
{
    if ((color & 0xFF000000u) != clSystemColor)
        return color & 0xFFFFFF;
    switch (color) {
    case clBtnFace:
        return palette.btnFace;
    case clBtnHighlight:
        return palette.btnHighlight;
    case clBtnShadow:
        return palette.btnShadow;
    case cl3DDkShadow:
        return palette.dkShadow;
    case cl3DLight:
        return palette.light;
    case clBtnText:
        return palette.btnText;
    case clHotLight:
        return palette.hotLight;
    default:
        return clBlack;
    }
}

}  // namespace ql
