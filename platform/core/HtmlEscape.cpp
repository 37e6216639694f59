#include "platform/core/HtmlEscape.h"

namespace ql {

namespace {

std::string Escape(std::string_view text, bool quotes)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            if (quotes) {
                out += "&quot;";
                break;
            }
            [[fallthrough]];
        default:
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string EscapeHtmlAttribute(std::string_view text) { return Escape(text, true); }

std::string EscapeHtmlText(std::string_view text) { return Escape(text, false); }

}  // namespace ql
