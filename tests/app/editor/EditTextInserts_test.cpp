#include "app/editor/EditTextInserts.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(EditTextInsertsTest, DateTimeStampIsMonthDayYearWith24HourTimeAndWeekday)
{
    std::tm t{};
    t.tm_year = 1999 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 31;
    t.tm_hour = 23;
    t.tm_min = 59;
    t.tm_sec = 58;
    t.tm_wday = 5;
    EXPECT_EQ(DateTimeStamp(t), "12/31/1999 23:59:58 (Friday)");
    t = {};
    t.tm_year = 2026 - 1900;
    t.tm_mday = 4;
    t.tm_wday = 0;
    EXPECT_EQ(DateTimeStamp(t), "01/04/2026 00:00:00 (Sunday)");
}

TEST(EditTextInsertsTest, InsertionCountsCharactersNotBytes)
{
    // "Grüße, 世界": the caret after "Grü" is 3 characters but 4 bytes in.
    TextWithCaret r = InsertAtCaret("Grüße, 世界", 3, "[x]");
    EXPECT_EQ(r.text, "Grü[x]ße, 世界");
    EXPECT_EQ(r.caret, 6);
    r = InsertAtCaret("Grüße, 世界", 8, "€");
    EXPECT_EQ(r.text, "Grüße, 世€界");
    EXPECT_EQ(r.caret, 9);
}

TEST(EditTextInsertsTest, CaretOutsideTheTextIsClampedToItsEnds)
{
    EXPECT_EQ(InsertAtCaret("abc", 0, "X").text, "Xabc");
    EXPECT_EQ(InsertAtCaret("abc", -5, "X").caret, 1);
    TextWithCaret r = InsertAtCaret("abc", 99, "XY");
    EXPECT_EQ(r.text, "abcXY");
    EXPECT_EQ(r.caret, 5);
    r = InsertAtCaret("", 0, "é");
    EXPECT_EQ(r.text, "é");
    EXPECT_EQ(r.caret, 1);
}

}  // namespace
}  // namespace ql
