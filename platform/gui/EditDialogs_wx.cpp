#include "platform/gui/EditDialogs_wx.h"

#include "platform/gui/CssValues.h"

#include <wx/colour.h>
#include <wx/fontdlg.h>
#include <wx/textdlg.h>

namespace ql::web {

namespace {

bool AskText(wxWindow* parent, const char* prompt, const char* caption, std::string& text)
{
    wxTextEntryDialog dialog(parent, wxString::FromUTF8(prompt), wxString::FromUTF8(caption), wxString::FromUTF8(text));
    if (dialog.ShowModal() != wxID_OK)
        return false;
    text = dialog.GetValue().Trim().Trim(false).utf8_string();
    return !text.empty();
}

}  // namespace

bool WxEditDialogs::AskImageSource(std::string& source)
{
    return AskText(parent_, "Picture file or address:", "Picture", source);
}

bool WxEditDialogs::AskLinkUrl(std::string& url)
{
    if (url.empty())
        url = "http://";
    return AskText(parent_, "Link address:", "Link", url);
}

bool WxEditDialogs::AskFont(Font& font)
{
    wxFontData data;
    wxFont initial(wxFontInfo(PointsOfFontSize(font.size))
                       .FaceName(wxString::FromUTF8(font.name))
                       .Bold(font.bold)
                       .Italic(font.italic)
                       .Underlined(font.underline));
    data.SetInitialFont(initial);
    data.EnableEffects(true);
    if (!font.colour.empty())
        data.SetColour(wxColour(wxString::FromUTF8(font.colour)));
    wxFontDialog dialog(parent_, data);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    const wxFontData& result = dialog.GetFontData();
    wxFont chosen = result.GetChosenFont();
    font.name = chosen.GetFaceName().utf8_string();
    font.size = FontSizeFromPoints(chosen.GetFractionalPointSize());
    font.bold = chosen.GetWeight() >= wxFONTWEIGHT_BOLD;
    font.italic = chosen.GetStyle() != wxFONTSTYLE_NORMAL;
    font.underline = chosen.GetUnderlined();
    if (result.GetColour().IsOk())
        font.colour = result.GetColour().GetAsString(wxC2S_HTML_SYNTAX).Lower().utf8_string();
    return true;
}

}  // namespace ql::web
