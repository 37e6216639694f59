#pragma once
// Text put into HTML that others wrote.
#include <string>
#include <string_view>

namespace ql {

// For a double-quoted attribute value: & " < > escaped.
std::string EscapeHtmlAttribute(std::string_view text);
// For element text: & < > escaped.
std::string EscapeHtmlText(std::string_view text);

}  // namespace ql
