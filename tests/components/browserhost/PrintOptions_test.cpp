#include "components/browserhost/PrintOptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace ql {
namespace {

TEST(PageSetupMargin, ReadsInchesAsTheOptionsUnit)
{
    // A metric locale with a decimal comma: the engine's "0.75000" inches.
    auto mm = ReadPageSetupMargin("0.75000", false, ',');
    ASSERT_TRUE(mm);
    EXPECT_NEAR(*mm, 19.05, 1e-9);
    EXPECT_NEAR(*ReadPageSetupMargin(" 0. 5 ", true, '.'), 0.5, 1e-12);
    EXPECT_NEAR(*ReadPageSetupMargin("1", false, '.'), 25.4, 1e-12);
    for (const char* bad : {"", "abc", "0,75", "1.2.3", "--1", "0.5in"})
        EXPECT_FALSE(ReadPageSetupMargin(bad, false, '.')) << bad;
    EXPECT_FALSE(ReadPageSetupMargin("0.5.1", false, ','));  // only the first "." becomes the comma
}

TEST(PageSetupMargin, DialogTextIsInTheLocalesUnit)
{
    EXPECT_EQ(MarginToDialogText(19.05, false, false, ','), "19,05");
    EXPECT_EQ(MarginToDialogText(19.05, false, true, '.'), "0.75");
    EXPECT_EQ(MarginToDialogText(0.75, true, false, '.'), "19.05");
    EXPECT_EQ(MarginToDialogText(0.75, true, true, '.'), "0.75");
    EXPECT_EQ(MarginToDialogText(10, false, false, '.'), "10");
    EXPECT_EQ(MarginToDialogText(1.0 / 3.0, false, false, '.'), "0.333333333333333");
    EXPECT_NEAR(MarginInMillimetres(0.75, true), 19.05, 1e-12);
    EXPECT_EQ(MarginInMillimetres(19.05, false), 19.05);
}

TEST(Locale, MeasurementAndSeparatorFollowTheEnvironment)
{
    const char* old = std::getenv("LC_ALL");
    std::string saved = old ? old : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_FALSE(LocaleUsesInches());
    EXPECT_EQ(LocaleDecimalSeparator(), '.');
    if (old)
        setenv("LC_ALL", saved.c_str(), 1);
    else
        unsetenv("LC_ALL");
}

TEST(DialogCaption, MakerNameGoesAndProductBecomesOurTitle)
{
    EXPECT_EQ(ReplaceDialogCaption("Microsoft Internet Explorer", "Quillory"), "Quillory");
    EXPECT_EQ(ReplaceDialogCaption("Find - Internet Explorer", "Quillory"), "Find - Quillory");
    EXPECT_EQ(ReplaceDialogCaption("Page Setup", "Quillory"), "Page Setup");
    EXPECT_EQ(ReplaceDialogCaption("Microsoft Microsoft x", "Q"), "Microsoft x");
}

TEST(PrintOptions, PageSetupIsInMillimetresWhateverTheUnit)
{
    TPrintOptions o;
    o.Margins = {19.05, 10, 5, 0};
    web::PageSetup p = PageSetupOf(o);
    EXPECT_EQ(p.leftMm, 19.05);
    EXPECT_EQ(p.rightMm, 10);
    EXPECT_EQ(p.topMm, 5);
    EXPECT_FALSE(p.landscape);
    o.Inches = true;
    o.Margins = {0.75, 1, 0, 0.5};
    o.Orientation = TPrintOrientationOption::poLandscape;
    p = PageSetupOf(o);
    EXPECT_NEAR(p.leftMm, 19.05, 1e-12);
    EXPECT_NEAR(p.rightMm, 25.4, 1e-12);
    EXPECT_NEAR(p.bottomMm, 12.7, 1e-12);
    EXPECT_TRUE(p.landscape);
}

}  // namespace
}  // namespace ql
