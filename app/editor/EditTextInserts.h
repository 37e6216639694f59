#pragma once
// The texts the Insert and Highlight commands put into a page, and the insertion at the Text
// view's caret.
#include <ctime>
#include <string>
#include <string_view>

namespace ql {

// "mm/dd/yyyy hh:nn:ss (dddd)": month, day, year, 24-hour time and the weekday's full name,
// e.g. "03/07/2026 09:05:01 (Saturday)".
std::string DateTimeStamp(const std::tm& time);

// The local time now.
std::tm LocalTimeNow();

struct TextWithCaret {
    std::string text;
    long caret = 0;  // in characters
};
// `insert` put into `text` at `caret` characters (clamped to the text), and the caret right
// after it. Characters are code points of the UTF-8 text, as a text control counts them.
TextWithCaret InsertAtCaret(std::string_view text, long caret, std::string_view insert);

// The selection's markup wrapped in a yellow-background span.
std::string HighlightSpan(std::string_view former);

// The markup of the horizontal line command.
inline constexpr char kHorizontalLineHtml[] = "<HR>";

}  // namespace ql
