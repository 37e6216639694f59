#include "app/collection/TextTransforms.h"

#include "app/collection/TextUtil.h"

#include <algorithm>

namespace ql {

std::string ToggleUnicode(std::string_view pageBytes)
{
    StringList lines = SplitPageLines(pageBytes);
    auto own = std::find_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return EqualsNoCase(l, kUnicodeMetaLine); });
    if (own != lines.end()) {
        lines.erase(own);
        return JoinPageLines(lines);
    }
    std::string text = JoinPageLines(lines);
    if (ContainsNoCase(text, "charset=unicode"))
        return ReplaceAllNoCase(text, "charset=unicode", "");
    lines.insert(lines.begin(), kUnicodeMetaLine);
    return JoinPageLines(lines);
}

std::string CleanUpPageText(std::string_view pageBytes)
{
    std::string text = JoinPageLines(SplitPageLines(pageBytes));
    text = ReplaceAll(text, "\xC2&", "&");
    text = ReplaceAll(text, "?&nbsp;", "&nbsp;");
    text = ReplaceAll(text, "\xE2\x80\xA2\xC2&nbsp;", "&#149;&nbsp;");
    return text;
}

}  // namespace ql
