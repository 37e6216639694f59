#pragma once
// Just enough HTML reading for clips: start tags with their attributes, found in page text the
// way a browser would see them (comments and script or style content are not markup), and the
// escaping of values written back into attributes and text.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/HtmlEscape.h"  // EscapeHtmlAttribute, EscapeHtmlText

namespace ql {

struct HtmlAttribute {
    std::string name;            // lower case
    std::size_t valueBegin = 0;  // the value token in the text, quotes included;
    std::size_t valueEnd = 0;    // equal to valueBegin when the attribute has no value
    std::string value;           // the value without quotes, entities not decoded
};

struct HtmlTag {
    std::size_t begin = 0;  // at '<'
    std::size_t end = 0;    // after '>' (or the end of the text for an unterminated tag)
    std::string name;       // lower case
    std::vector<HtmlAttribute> attributes;
    const HtmlAttribute* Find(std::string_view name) const;
};

// Start tags whose name is one of `names` (lower case) beginning in [from, to).
std::vector<HtmlTag> FindStartTags(std::string_view html, std::initializer_list<std::string_view> names,
                                   std::size_t from = 0, std::size_t to = std::string_view::npos);

// The value of the src (picture) or href (link) attribute of the element whose HTML starts the
// text, trimmed; "" when it has none. A blank around "=" and single or double quotes are fine.
std::string ParseLinkAttribute(std::string_view html, bool picture);

// "&amp;" "&lt;" "&gt;" "&quot;" "&apos;" "&#N;" "&#xH;" decoded; other text as it is.
std::string DecodeHtmlEntities(std::string_view text);

}  // namespace ql
