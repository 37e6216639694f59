#include "app/editor/BrowseTools.h"

#include "app/collection/TextUtil.h"
#include "platform/core/UrlText.h"

namespace ql {

std::optional<std::string> OriginalUrlOf(std::string_view page)
{
    static constexpr std::string_view kOpen = "<!-- From: \"";
    static constexpr std::string_view kClose = "\" -->";
    const auto open = page.find(kOpen);
    if (open == std::string_view::npos)
        return std::nullopt;
    const auto close = page.find(kClose);
    const auto start = open + kOpen.size();
    if (close == std::string_view::npos || close < start)
        return std::nullopt;
    std::string url(page.substr(start, close - start));
    const std::string scheme = UrlScheme(url);
    if (scheme != "http" && scheme != "https" && scheme != "ftp" && scheme != "file")
        return std::nullopt;
    return url;
}

int ChooseEditWithEntry(const std::vector<std::string>& captions, int editWith)
{
    if (captions.empty())
        return -1;
    if (editWith >= 0 && static_cast<std::size_t>(editWith) < captions.size())
        return editWith;
    int chosen = 0;
    for (std::size_t i = 0; i < captions.size(); ++i)
        if (ContainsNoCase(captions[i], "Front"))
            chosen = static_cast<int>(i);
    return chosen;
}

}  // namespace ql
