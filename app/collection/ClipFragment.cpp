#include "app/collection/ClipFragment.h"

#include "app/collection/PictureLocalizer.h"
#include "platform/core/UrlText.h"

namespace ql {

std::string CutClipFragmentText(std::string_view text, bool forNewNode)
{
    if (forNewNode) {
        std::size_t html = text.find("<HTML>");
        return std::string(html == std::string_view::npos ? text : text.substr(html));
    }
    std::size_t body = text.find("<BODY");
    if (body != std::string_view::npos)
        text = text.substr(body);
    std::size_t gt = text.find('>');
    if (gt != std::string_view::npos)
        text = text.substr(gt + 1);
    std::size_t end = text.find("</BODY");
    if (end != std::string_view::npos)
        text = text.substr(0, end);
    return std::string(text);
}

void CutClipFragment(StringList& lines, bool forNewNode)
{
    lines = SplitPageLines(CutClipFragmentText(JoinPageLines(lines), forNewNode));
}

std::string DocumentBodyHtml(std::string_view document)
{
    const std::size_t body = FindNoCase(document, "<body");
    if (body == std::string_view::npos)
        return std::string(document);
    const std::size_t gt = document.find('>', body);
    if (gt == std::string_view::npos)
        return {};
    std::string_view inner = document.substr(gt + 1);
    return std::string(inner.substr(0, FindNoCase(inner, "</body")));
}

std::string MakeClipAddressesAbsolute(const std::string& fragment, const std::string& sourceUrl)
{
    const PictureLocalizer addressesOnly("", nullptr, nullptr);
    return addressesOnly.Localize(fragment, 0, fragment.size(), sourceUrl, "", true).html;
}

std::string HeaderSafeUrl(std::string_view url)
{
    return PercentEscape(url,
                         [](unsigned char c) { return c < 0x20 || c == 0x7F || c == '"' || c == '<' || c == '>'; });
}

std::string ClipFromLine(std::string_view url) { return "<!-- From: \"" + HeaderSafeUrl(url) + "\" -->"; }

std::string ClipBaseLine(std::string_view url) { return "<base href=\"" + HeaderSafeUrl(url) + "\">"; }

}  // namespace ql
