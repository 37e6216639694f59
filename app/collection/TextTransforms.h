#pragma once
// The page text transforms of the editor: the Unicode toggle and the clean-up of bytes left
// over from a UTF-8 to single-byte conversion. Both work on the page as CR LF lines.
#include <string>
#include <string_view>

namespace ql {

inline constexpr char kUnicodeMetaLine[] = "<meta charset=unicode>";

// Removes a line "<meta charset=unicode>" (any case); else removes every "charset=unicode"
// (any case); else puts that line first. Applied twice to a page without "charset=unicode"
// it gives the page back.
std::string ToggleUnicode(std::string_view pageBytes);

// C2 26 -> "&"; "?&nbsp;" -> "&nbsp;"; E2 80 A2 C2 "&nbsp;" -> "&#149;&nbsp;" (in this order).
std::string CleanUpPageText(std::string_view pageBytes);

}  // namespace ql
