#include "app/editor/session/PageText.h"

#include "app/collection/TextUtil.h"
#include "app/editor/session/EditorPorts.h"

namespace ql {

std::optional<std::string> PreparePageText(std::string_view fileBytes, const PagePreparation& options)
{
    StringList lines = SplitPageLines(fileBytes);
    std::string text = JoinPageLines(lines);
    const std::size_t originalLength = text.size();

    if (options.homepageImport && ContainsNoCase(text, "charset=unicode")) {
        text = ReplaceAllNoCase(text, "charset=unicode", "");
        lines = SplitPageLines(text);
    }
    if (options.autoChangeTxtToHtml && !lines.empty() && lines.size() < kPlainTextLineLimit) {
        if (text.find('<') != std::string::npos) {
            std::size_t stray = text.find("?<!DOCTYPE");
            if (stray != std::string::npos) {
                text.erase(stray, 1);
                lines = SplitPageLines(text);
            }
        } else if (options.activeView != kViewText) {
            if (!lines.empty() && lines.back().empty())
                lines.pop_back();
            for (auto& line : lines)
                line += "<br>";
            text = JoinPageLines(lines);
        }
    }
    if (options.autoChangeTxtToHtml && options.useDiv && options.activeView == kViewHtml && !lines.empty() &&
        text.find("<STYLE>P") == std::string::npos) {
        lines.insert(lines.begin(), kZeroMarginStyleLine);
        text = JoinPageLines(lines);
    }
    if (text.size() == originalLength)
        return std::nullopt;
    return text;
}

PageAppend AppendClipToPage(std::string_view pageBytes, std::string_view content)
{
    std::string page = JoinPageLines(SplitPageLines(pageBytes));
    std::size_t at = FindNoCase(page, "</body>");
    if (at == std::string::npos)
        at = FindNoCase(page, "</html>");
    if (at == std::string::npos)
        at = page.size();
    const std::string clip = NormaliseLineBreaks(content);
    PageAppend result;
    result.text = page.substr(0, at) + clip + page.substr(at);
    result.fragmentBegin = at;
    result.fragmentEnd = at + clip.size();
    return result;
}

std::size_t LocateFragment(const std::string& page, const std::string& fragment, std::size_t expectedAt)
{
    if (fragment.empty())
        return std::string::npos;
    if (expectedAt <= page.size() && page.compare(expectedAt, fragment.size(), fragment) == 0)
        return expectedAt;
    // Preparing the page for the view may have moved it (a style line put first, a character
    // taken out before it): the occurrence nearest to where it was put is the one.
    std::size_t best = std::string::npos, bestDistance = std::string::npos;
    for (std::size_t at = page.find(fragment); at != std::string::npos; at = page.find(fragment, at + 1)) {
        const std::size_t distance = at > expectedAt ? at - expectedAt : expectedAt - at;
        if (distance < bestDistance) {
            best = at;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace ql
