#include "app/editor/EditTextInserts.h"

#include "app/collection/TextUtil.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace ql {

namespace {

constexpr std::array<const char*, 7> kWeekdays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                               "Thursday", "Friday", "Saturday"};

}  // namespace

std::string DateTimeStamp(const std::tm& t)
{
    const char* weekday = t.tm_wday >= 0 && t.tm_wday < 7 ? kWeekdays[static_cast<std::size_t>(t.tm_wday)] : "";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d (%s)", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900,
                  t.tm_hour, t.tm_min, t.tm_sec, weekday);
    return buf;
}

std::tm LocalTimeNow()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

TextWithCaret InsertAtCaret(std::string_view text, long caret, std::string_view insert)
{
    const std::size_t length = Utf8Length(text);
    const std::size_t at = caret <= 0 ? 0 : std::min(static_cast<std::size_t>(caret), length);
    const std::size_t byte = Utf8Left(text, at).size();
    TextWithCaret r;
    r.text.reserve(text.size() + insert.size());
    r.text.append(text.substr(0, byte)).append(insert).append(text.substr(byte));
    r.caret = static_cast<long>(at + Utf8Length(insert));
    return r;
}

std::string HighlightSpan(std::string_view former)
{
    return "<span style=\"background-color: #FFFF00\">" + std::string(former) + "</span>";
}

}  // namespace ql
