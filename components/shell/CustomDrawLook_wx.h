#pragma once
// The toolkit's side of custom draw: fonts and colours as the drawing record holds them, and
// an item's look before and after the custom-draw events have seen it. The toolkit keeps a
// font and colours per item, so a control "paints" an item through the events whenever its
// look may change and keeps what they chose.
#include <cstdint>

#include <wx/colour.h>
#include <wx/font.h>

#include "components/shell/CustomDraw.h"

namespace ql::shellctl {

TColor ToTColor(const wxColour& colour);  // clNone for an unset colour
wxColour FromTColor(TColor colour);

TSvFont SvFontOf(const wxFont& font, const wxColour& colour);
// `base` with the face, size and style of `font`.
wxFont WxFontOf(const TSvFont& font, const wxFont& base);

struct TSvItemLook {
    wxFont font;
    wxColour text, back;
};

// The item-prepaint record of an item that is drawn with `look`.
NMCUSTOMDRAW ItemPrePaintRecord(std::uintptr_t item, std::uint32_t state, const TSvItemLook& look);
// What the drawing chose: the record's colours, and its font when the answer asks for a new one
// (else `look`'s).
TSvItemLook ChosenLook(const NMCUSTOMDRAW& record, std::uint32_t answer, const TSvItemLook& look);

}  // namespace ql::shellctl
