#include "app/collection/ClipFragment.h"

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

std::string HeaderSafeUrl(std::string_view url)
{
    return PercentEscape(url, [](unsigned char c) { return c < 0x20 || c == 0x7F || c == '"' || c == '<' || c == '>'; });
}

std::string ClipFromLine(std::string_view url) { return "<!-- From: \"" + HeaderSafeUrl(url) + "\" -->"; }

std::string ClipBaseLine(std::string_view url) { return "<base href=\"" + HeaderSafeUrl(url) + "\">"; }

}  // namespace ql
