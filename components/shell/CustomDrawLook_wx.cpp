#include "components/shell/CustomDrawLook_wx.h"

namespace ql::shellctl {

TColor ToTColor(const wxColour& c)
{
    return c.IsOk() ? static_cast<TColor>(c.Red() | (c.Green() << 8) | (c.Blue() << 16)) : clNone;
}

wxColour FromTColor(TColor c)
{
    if (c == clNone)
        return wxNullColour;
    return wxColour(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TSvFont SvFontOf(const wxFont& f, const wxColour& colour)
{
    TSvFont font;
    font.name = f.GetFaceName().utf8_string();
    font.size = f.GetPointSize();
    font.bold = f.GetWeight() >= wxFONTWEIGHT_BOLD;
    font.italic = f.GetStyle() == wxFONTSTYLE_ITALIC;
    font.underline = f.GetUnderlined();
    font.color = ToTColor(colour);
    return font;
}

wxFont WxFontOf(const TSvFont& font, const wxFont& base)
{
    wxFont f = base;
    if (!font.name.empty())
        f.SetFaceName(wxString::FromUTF8(font.name));
    if (font.size > 0)
        f.SetPointSize(font.size);
    f.SetWeight(font.bold ? wxFONTWEIGHT_BOLD : wxFONTWEIGHT_NORMAL);
    f.SetStyle(font.italic ? wxFONTSTYLE_ITALIC : wxFONTSTYLE_NORMAL);
    f.SetUnderlined(font.underline);
    return f;
}

NMCUSTOMDRAW ItemPrePaintRecord(std::uintptr_t item, std::uint32_t state, const TSvItemLook& look)
{
    NMCUSTOMDRAW record;
    record.dwDrawStage = CDDS_ITEMPREPAINT;
    record.dwItemSpec = item;
    record.uItemState = state;
    record.selectedFont = SvFontOf(look.font, look.text);
    record.textColor = record.clrText = ToTColor(look.text);
    record.bkColor = record.clrTextBk = ToTColor(look.back);
    return record;
}

TSvItemLook ChosenLook(const NMCUSTOMDRAW& record, std::uint32_t answer, const TSvItemLook& look)
{
    TSvItemLook chosen;
    chosen.text = FromTColor(record.clrText);
    chosen.back = FromTColor(record.clrTextBk);
    chosen.font = (answer & CDRF_NEWFONT) ? WxFontOf(record.selectedFont, look.font) : look.font;
    return chosen;
}

}  // namespace ql::shellctl
