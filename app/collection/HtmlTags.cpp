#include "app/collection/HtmlTags.h"

#include "app/collection/TextUtil.h"
#include "platform/core/HexDigits.h"
#include "platform/core/TextEncoding.h"

#include <algorithm>
#include <cstdint>

namespace ql {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == ':' ||
           c == '_';
}
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Reads the start tag at `pos` (at '<', followed by a letter).
HtmlTag readTag(std::string_view html, std::size_t pos)
{
    HtmlTag tag;
    tag.begin = pos;
    std::size_t i = pos + 1;
    while (i < html.size() && isNameChar(html[i]))
        tag.name += lower(html[i++]);
    while (i < html.size()) {
        while (i < html.size() && (isSpace(html[i]) || html[i] == '/'))
            ++i;
        if (i >= html.size())
            break;
        if (html[i] == '>') {
            tag.end = i + 1;
            return tag;
        }
        HtmlAttribute attr;
        while (i < html.size() && !isSpace(html[i]) && html[i] != '=' && html[i] != '>' && html[i] != '/')
            attr.name += lower(html[i++]);
        if (attr.name.empty())
            attr.name += html[i++];  // a stray '=': skip it as a nameless attribute
        std::size_t j = i;
        while (j < html.size() && isSpace(html[j]))
            ++j;
        if (j < html.size() && html[j] == '=') {
            ++j;
            while (j < html.size() && isSpace(html[j]))
                ++j;
            attr.valueBegin = j;
            if (j < html.size() && (html[j] == '"' || html[j] == '\'')) {
                char quote = html[j];
                std::size_t close = html.find(quote, j + 1);
                if (close == std::string_view::npos)
                    close = html.size();
                attr.value = std::string(html.substr(j + 1, close - j - 1));
                j = std::min(close + 1, html.size());
            } else {
                std::size_t k = j;
                while (k < html.size() && !isSpace(html[k]) && html[k] != '>')
                    ++k;
                attr.value = std::string(html.substr(j, k - j));
                j = k;
            }
            attr.valueEnd = j;
            i = j;
        } else {
            attr.valueBegin = attr.valueEnd = i;
        }
        tag.attributes.push_back(std::move(attr));
    }
    tag.end = html.size();
    return tag;
}

bool tagNameAt(std::string_view html, std::size_t pos, std::string_view name)
{
    if (pos + 1 + name.size() > html.size())
        return false;
    if (!EqualsNoCase(html.substr(pos + 1, name.size()), name))
        return false;
    std::size_t after = pos + 1 + name.size();
    return after == html.size() || isSpace(html[after]) || html[after] == '>' || html[after] == '/';
}

}  // namespace

const HtmlAttribute* HtmlTag::Find(std::string_view wanted) const
{
    for (const auto& a : attributes)
        if (a.name == wanted)
            return &a;
    return nullptr;
}

std::vector<HtmlTag> FindStartTags(std::string_view html, std::initializer_list<std::string_view> names,
                                   std::size_t from, std::size_t to)
{
    std::vector<HtmlTag> tags;
    to = std::min(to, html.size());
    std::size_t i = from;
    while (i < to) {
        std::size_t lt = html.find('<', i);
        if (lt == std::string_view::npos || lt >= to)
            break;
        if (html.substr(lt, 4) == "<!--") {
            std::size_t close = html.find("-->", lt + 4);
            i = close == std::string_view::npos ? html.size() : close + 3;
            continue;
        }
        bool raw = false;
        for (std::string_view rawName : {std::string_view("script"), std::string_view("style")}) {
            if (!tagNameAt(html, lt, rawName))
                continue;
            HtmlTag open = readTag(html, lt);
            std::size_t close = FindNoCase(html, std::string("</") + std::string(rawName), open.end);
            i = close == std::string_view::npos ? html.size() : close + 2;
            raw = true;
            break;
        }
        if (raw)
            continue;
        bool wanted = false;
        for (std::string_view n : names)
            wanted = wanted || tagNameAt(html, lt, n);
        if (wanted) {
            tags.push_back(readTag(html, lt));
            i = tags.back().end;
        } else {
            i = lt + 1;
        }
    }
    return tags;
}

std::string ParseLinkAttribute(std::string_view html, bool picture)
{
    std::size_t lt = html.find('<');
    if (lt == std::string_view::npos)
        return {};
    HtmlTag tag = readTag(html, lt);
    const HtmlAttribute* attr = tag.Find(picture ? "src" : "href");
    if (!attr)
        return {};
    return TrimControls(attr->value);
}

std::string DecodeHtmlEntities(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        std::size_t semi = text.find(';', i);
        if (semi == std::string_view::npos || semi - i > 10) {
            out += '&';
            continue;
        }
        std::string_view name = text.substr(i + 1, semi - i - 1);
        std::uint32_t code = 0;
        bool ok = true;
        if (name == "amp")
            code = '&';
        else if (name == "lt")
            code = '<';
        else if (name == "gt")
            code = '>';
        else if (name == "quot")
            code = '"';
        else if (name == "apos")
            code = '\'';
        else if (name.size() > 1 && name[0] == '#') {
            bool hex = name[1] == 'x' || name[1] == 'X';
            std::string_view digits = name.substr(hex ? 2 : 1);
            ok = !digits.empty();
            for (char c : digits) {
                int v = hex ? HexDigitValue(c) : (c >= '0' && c <= '9') ? c - '0' : -1;
                if (v < 0) {
                    ok = false;
                    break;
                }
                code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
                if (code > 0x10FFFF) {
                    ok = false;
                    break;
                }
            }
            ok = ok && code != 0 && !(code >= 0xD800 && code <= 0xDFFF);
        } else {
            ok = false;
        }
        if (!ok) {
            out += '&';
            continue;
        }
        AppendUtf8(out, code);
        i = semi;
    }
    return out;
}

}  // namespace ql
