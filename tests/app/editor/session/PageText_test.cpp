#include "app/editor/session/PageText.h"
#include "app/collection/TextTransforms.h"
#include "app/editor/session/EditorPorts.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

PagePreparation Options(int view, bool useDiv = false, bool homepage = false)
{
    return PagePreparation{true, homepage, useDiv, view};
}

TEST(PreparePageText, PlainTextBecomesOneBrLinePerLineOutsideTheTextView)
{
    EXPECT_EQ(PreparePageText("a\r\nb\r\n", Options(kViewBrowse)), "a<br>\r\nb<br>\r\n");
    EXPECT_EQ(PreparePageText("a\nb", Options(kViewHtml)), "a<br>\r\nb<br>\r\n");
    // One empty last line is dropped first; an empty line inside stays a line break.
    EXPECT_EQ(PreparePageText("a\r\n\r\nb\r\n\r\n", Options(kViewBrowse)), "a<br>\r\n<br>\r\nb<br>\r\n");
    EXPECT_EQ(PreparePageText("a\r\nb\r\n", Options(kViewText)), std::nullopt);
    EXPECT_EQ(PreparePageText("", Options(kViewBrowse)), std::nullopt);
}

TEST(PreparePageText, TheLineLimitKeepsLongPagesAsTheyAre)
{
    std::string lines199, lines200;
    for (int i = 0; i < 199; ++i)
        lines199 += "x\r\n";
    lines200 = lines199 + "x\r\n";
    EXPECT_TRUE(PreparePageText(lines199, Options(kViewBrowse)).has_value());
    EXPECT_EQ(PreparePageText(lines200, Options(kViewBrowse)), std::nullopt);
}

TEST(PreparePageText, HtmlPagesOnlyLoseAStrayQuestionMarkBeforeTheDoctype)
{
    EXPECT_EQ(PreparePageText("?<!DOCTYPE html>\r\n<p>x</p>\r\n", Options(kViewBrowse)),
              "<!DOCTYPE html>\r\n<p>x</p>\r\n");
    EXPECT_EQ(PreparePageText("<p>a</p>\r\n", Options(kViewBrowse)), std::nullopt);
    EXPECT_EQ(PreparePageText("?<!doctype html>\r\n", Options(kViewBrowse)), std::nullopt);  // exact case only
}

TEST(PreparePageText, StyleLineInTheHtmlViewWithUseDivOnce)
{
    const std::string style = std::string(kZeroMarginStyleLine) + "\r\n";
    EXPECT_EQ(PreparePageText("<p>a</p>\r\n", Options(kViewHtml, true)), style + "<p>a</p>\r\n");
    EXPECT_EQ(PreparePageText("plain\r\n", Options(kViewHtml, true)), style + "plain<br>\r\n");
    EXPECT_EQ(PreparePageText(style + "<p>a</p>\r\n", Options(kViewHtml, true)), std::nullopt);
    EXPECT_EQ(PreparePageText("x <STYLE>P here\r\n", Options(kViewHtml, true)), std::nullopt);
    EXPECT_EQ(PreparePageText("<p>a</p>\r\n", Options(kViewBrowse, true)), std::nullopt);
    EXPECT_EQ(PreparePageText("", Options(kViewHtml, true)), std::nullopt);
}

TEST(PreparePageText, HomepageImportDropsCharsetUnicodeOnly)
{
    PagePreparation importOnly{false, true, false, kViewBrowse};
    EXPECT_EQ(PreparePageText("<meta content=\"text/html; CHARSET=Unicode\">\r\n", importOnly),
              "<meta content=\"text/html; \">\r\n");
    EXPECT_EQ(PreparePageText("plain\r\n", importOnly), std::nullopt);
}

TEST(AppendClipToPage, BeforeBodyElseHtmlElseAtTheEnd)
{
    auto body = AppendClipToPage("<html><body>old</BODY></html>", "NEW");
    EXPECT_EQ(body.text, "<html><body>oldNEW</BODY></html>\r\n");
    EXPECT_EQ(body.text.substr(body.fragmentBegin, body.fragmentEnd - body.fragmentBegin), "NEW");

    EXPECT_EQ(AppendClipToPage("<p>old</p></HTML>\n", "NEW").text, "<p>old</p>NEW</HTML>\r\n");
    auto end = AppendClipToPage("plain page\n", "line1\nline2");
    EXPECT_EQ(end.text, "plain page\r\nline1\r\nline2");
    EXPECT_EQ(end.text.substr(end.fragmentBegin), "line1\r\nline2");
}

TEST(PageAppend, AFragmentIsFoundWhereverPreparationMovedIt)
{
    const std::string clip = "<img src=\"a.png\">";
    const std::string page = "top" + clip + "middle" + clip + "end";  // the same clip appended twice
    ASSERT_EQ(page.find(clip, 4), 26u);
    EXPECT_EQ(LocateFragment(page, clip, 26), 26u);
    // A line put first moves the text down: the nearer copy is still the one meant.
    const std::string shifted = "<STYLE>\r\n" + page;
    EXPECT_EQ(LocateFragment(shifted, clip, 26), 35u);
    EXPECT_EQ(LocateFragment(shifted, clip, 3), 12u);
    EXPECT_EQ(LocateFragment("edited away", clip, 0), std::string::npos);
    EXPECT_EQ(LocateFragment(page, "", 0), std::string::npos);
    EXPECT_EQ(LocateFragment(page, clip, 1000), 26u);
}

TEST(TextTransforms, UnicodeToggleTwiceRestoresThePage)
{
    const std::string page = "<html>\r\n<body>x</body>\r\n</html>\r\n";
    const std::string once = ToggleUnicode(page);
    EXPECT_EQ(once, std::string(kUnicodeMetaLine) + "\r\n" + page);
    EXPECT_EQ(ToggleUnicode(once), page);
}

TEST(TextTransforms, UnicodeToggleRemovesWhatIsThere)
{
    EXPECT_EQ(ToggleUnicode("a\r\n<META CHARSET=UNICODE>\r\nb\r\n"), "a\r\nb\r\n");
    // Only the fifteen characters go; the rest of the tag stays.
    EXPECT_EQ(ToggleUnicode("<meta http-equiv=\"content-type\" content=\"text/html; charset=unicode\">\r\n"),
              "<meta http-equiv=\"content-type\" content=\"text/html; \">\r\n");
}

TEST(TextTransforms, CleanUpReplacesTheThreeSequencesOnly)
{
    EXPECT_EQ(CleanUpPageText("a\xC2&b\r\n"), "a&b\r\n");
    EXPECT_EQ(CleanUpPageText("x?&nbsp;y\r\n"), "x&nbsp;y\r\n");
    EXPECT_EQ(CleanUpPageText("lone \xC2 byte\r\n"), "lone \xC2 byte\r\n");
    // The bullet sequence's C2 goes with the first replacement already.
    EXPECT_EQ(CleanUpPageText("\xE2\x80\xA2\xC2&nbsp;\r\n"), "\xE2\x80\xA2&nbsp;\r\n");
}

}  // namespace
}  // namespace ql
