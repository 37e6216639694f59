#include "app/editor/BrowseTools.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(OriginalUrlTest, TakesTheAddressBetweenTheMarkers)
{
    EXPECT_EQ(OriginalUrlOf("<!-- From: \"https://a.example/x?y=1\" -->\r\n<p>"), "https://a.example/x?y=1");
    EXPECT_EQ(OriginalUrlOf("x <!-- From: \"FILE:///tmp/a.html\" --> <!-- From: \"http://b/\" -->"),
              "FILE:///tmp/a.html");
    EXPECT_EQ(OriginalUrlOf("<!-- From: \"ftp://h/f\" -->"), "ftp://h/f");
}

TEST(OriginalUrlTest, MissingOrUnsafeAddressesAreRefused)
{
    EXPECT_FALSE(OriginalUrlOf("<p>no header</p>"));
    EXPECT_FALSE(OriginalUrlOf("<!-- From: \"http://a/ no end"));
    // The closing marker before the opening one cuts nothing sensible.
    EXPECT_FALSE(OriginalUrlOf("\" --> <!-- From: \"http://a/\""));
    EXPECT_FALSE(OriginalUrlOf("<!-- From: \"javascript:alert(1)\" -->"));
    EXPECT_FALSE(OriginalUrlOf("<!-- From: \"/etc/passwd\" -->"));
    EXPECT_FALSE(OriginalUrlOf("<!-- From: \"\" -->"));
}

TEST(EditWithChoiceTest, RemembersTheEntryElseTheLastFrontEntry)
{
    const std::vector<std::string> apps = {"Text Editor", "FrontPage", "Web frontend", "Browser"};
    EXPECT_EQ(ChooseEditWithEntry(apps, 3), 3);
    EXPECT_EQ(ChooseEditWithEntry(apps, 100), 2);
    EXPECT_EQ(ChooseEditWithEntry(apps, -1), 2);
    EXPECT_EQ(ChooseEditWithEntry({"Text Editor", "Browser"}, 100), 0);
    EXPECT_EQ(ChooseEditWithEntry({}, 0), -1);
}

}  // namespace
}  // namespace ql
