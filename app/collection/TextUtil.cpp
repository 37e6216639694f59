#include "app/collection/TextUtil.h"

#include <algorithm>
#include <cstring>

namespace ql {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Byte length of the character led by `c` (1 for stray or invalid bytes).
std::size_t leadLength(unsigned char c)
{
    if (c >= 0xF0 && c <= 0xF7)
        return 4;
    if (c >= 0xE0)
        return c <= 0xEF ? 3 : 1;
    if (c >= 0xC0)
        return 2;
    return 1;
}

// Offset just after `chars` characters.
std::size_t charsToBytes(std::string_view text, std::size_t chars)
{
    std::size_t pos = 0;
    for (std::size_t n = 0; n < chars && pos < text.size(); ++n) {
        std::size_t len = leadLength(static_cast<unsigned char>(text[pos]));
        std::size_t end = pos + 1;
        while (end < text.size() && end < pos + len && isContinuation(static_cast<unsigned char>(text[end])))
            ++end;
        pos = end;
    }
    return pos;
}

// Every match of `from` that `find(text, from, pos)` reports, left to right, replaced by `to`.
template <class Find>
std::string replaceEach(std::string_view text, std::string_view from, std::string_view to, Find find)
{
    if (from.empty())
        return std::string(text);
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = find(text, from, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace

std::string TrimControls(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 0x20)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 0x20)
        --e;
    return std::string(text.substr(b, e - b));
}

std::string Utf8Left(std::string_view text, std::size_t chars)
{
    return std::string(text.substr(0, charsToBytes(text, chars)));
}

std::size_t Utf8Length(std::string_view text)
{
    std::size_t n = 0, pos = 0;
    while (pos < text.size()) {
        pos += charsToBytes(text.substr(pos), 1);
        ++n;
    }
    return n;
}

std::string Utf8CutBytes(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return std::string(text);
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t next = end + charsToBytes(text.substr(end), 1);
        if (next > maxBytes)
            break;
        end = next;
    }
    return std::string(text.substr(0, end));
}

std::size_t FindNoCase(std::string_view text, std::string_view sub, std::size_t from)
{
    if (sub.empty())
        return from <= text.size() ? from : std::string_view::npos;
    if (sub.size() > text.size() || from > text.size() - sub.size())
        return std::string_view::npos;
    // Candidates are found with memchr on both cases of the first letter: searching whole page
    // files, most bytes are skipped there.
    const char lower = LowerAscii(sub[0]);
    const char upper = (lower >= 'a' && lower <= 'z') ? static_cast<char>(lower - 'a' + 'A') : lower;
    const char* const base = text.data();
    const char* p = base + from;
    const char* const last = base + (text.size() - sub.size());
    // The next occurrence of each case at or after p; `last + 1` once there is none left.
    const char* const none = last + 1;
    auto next = [&](char c) {
        const auto* found = static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(none - p)));
        return found ? found : none;
    };
    const char* nextLower = next(lower);
    const char* nextUpper = upper != lower ? next(upper) : none;
    while (p <= last) {
        if (nextLower < p)
            nextLower = next(lower);
        if (upper != lower && nextUpper < p)
            nextUpper = next(upper);
        const char* hit = std::min(nextLower, nextUpper);
        if (hit == none)
            return std::string_view::npos;
        std::size_t k = 1;
        while (k < sub.size() && LowerAscii(hit[k]) == LowerAscii(sub[k]))
            ++k;
        if (k == sub.size())
            return static_cast<std::size_t>(hit - base);
        p = hit + 1;
    }
    return std::string_view::npos;
}

bool ContainsNoCase(std::string_view text, std::string_view sub)
{
    return FindNoCase(text, sub) != std::string_view::npos;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    return replaceEach(text, from, to,
                       [](std::string_view t, std::string_view f, std::size_t pos) { return t.find(f, pos); });
}

std::string ReplaceAllNoCase(std::string_view text, std::string_view from, std::string_view to)
{
    return replaceEach(text, from, to, FindNoCase);
}

StringList SplitPageLines(std::string_view text) { return SplitLines(text); }

std::string JoinPageLines(const StringList& lines) { return JoinLinesCrLf(lines); }

std::string NormaliseLineBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string Enclose(std::string_view open, std::string_view text, std::string_view close)
{
    std::string out;
    out.reserve(open.size() + text.size() + close.size());
    out.append(open);
    out.append(text);
    out.append(close);
    return out;
}

std::string FirstLine(std::string_view text) { return std::string(text.substr(0, text.find_first_of("\r\n"))); }

}  // namespace ql
