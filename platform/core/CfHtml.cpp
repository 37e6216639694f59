#include "platform/core/CfHtml.h"

#include <cctype>
#include <cstdio>

namespace ql {

namespace {

constexpr std::string_view kStartMarker = "<!--StartFragment-->";
constexpr std::string_view kEndMarker = "<!--EndFragment-->";

std::string Offset10(std::size_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%010zu", v);
    return buf;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

std::string BuildCfHtml(std::string_view fragment, std::string_view sourceUrl)
{
    std::string url;
    for (char c : sourceUrl)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            url += c;

    // Every number is written with ten digits, so the header's length does not depend on them.
    const std::string placeholder(10, '0');
    auto header = [&](const std::string& sh, const std::string& eh, const std::string& sf, const std::string& ef) {
        return "Version:1.0\r\nStartHTML:" + sh + "\r\nEndHTML:" + eh + "\r\nStartFragment:" + sf +
               "\r\nEndFragment:" + ef + "\r\nStartSelection:" + sf + "\r\nEndSelection:" + ef +
               "\r\nSourceURL:" + url + "\r\n";
    };
    const std::string docStart = "<HTML><BODY>\r\n" + std::string(kStartMarker);
    const std::string docEnd = std::string(kEndMarker) + "\r\n</BODY></HTML>";

    std::size_t startHtml = header(placeholder, placeholder, placeholder, placeholder).size();
    std::size_t startFragment = startHtml + docStart.size();
    std::size_t endFragment = startFragment + fragment.size();
    std::size_t endHtml = endFragment + docEnd.size();

    std::string out = header(Offset10(startHtml), Offset10(endHtml), Offset10(startFragment), Offset10(endFragment));
    out += docStart;
    out.append(fragment);
    out += docEnd;
    return out;
}

CfHtmlOffsets ParseCfHtmlOffsets(std::string_view text, std::string* sourceUrl)
{
    CfHtmlOffsets r;
    if (sourceUrl)
        sourceUrl->clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        std::string_view line = text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
        if (line.empty() || line.front() == '<')
            break;  // the header ends where the document begins
        std::size_t colon = line.find(':');
        if (colon != std::string_view::npos) {
            std::string_view key = line.substr(0, colon);
            std::string_view value = line.substr(colon + 1);
            long* slot = key == "StartHTML"       ? &r.startHtml
                         : key == "EndHTML"       ? &r.endHtml
                         : key == "StartFragment" ? &r.startFragment
                         : key == "EndFragment"   ? &r.endFragment
                                                  : nullptr;
            if (slot) {
                long v = 0;
                bool ok = !value.empty() && value.size() <= 12;
                for (char c : value)
                    ok = ok && std::isdigit(static_cast<unsigned char>(c));
                if (ok) {
                    for (char c : value)
                        v = v * 10 + (c - '0');
                    *slot = v;
                }
            } else if (sourceUrl && key == "SourceURL") {
                *sourceUrl = std::string(value);
            }
        }
        if (end == std::string_view::npos)
            break;
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return r;
}

std::string CfHtmlFragment(std::string_view text)
{
    CfHtmlOffsets o = ParseCfHtmlOffsets(text);
    auto usable = [&](long a, long b) { return a >= 0 && b >= a && static_cast<std::size_t>(b) <= text.size(); };
    if (usable(o.startFragment, o.endFragment))
        return std::string(text.substr(o.startFragment, o.endFragment - o.startFragment));
    if (usable(o.startHtml, o.endHtml))
        return std::string(text.substr(o.startHtml, o.endHtml - o.startHtml));
    return "";
}

std::string DropLeadingContentTypeMeta(std::string html)
{
    std::size_t i = 0;
    while (i < html.size() && std::isspace(static_cast<unsigned char>(html[i])))
        ++i;
    std::string_view rest(html);
    rest.remove_prefix(i);
    if (!StartsWithNoCase(rest, "<meta http-equiv=\"content-type\"") &&
        !StartsWithNoCase(rest, "<meta http-equiv=content-type"))
        return html;
    std::size_t close = html.find('>', i);
    if (close == std::string::npos)
        return html;
    std::size_t cut = close + 1;
    if (cut < html.size() && html[cut] == '\r')
        ++cut;
    if (cut < html.size() && html[cut] == '\n')
        ++cut;
    return html.substr(cut);
}

}  // namespace ql
