#include "app/collection/PageId.h"
#include "app/collection/TextUtil.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

class PageIdTest : public ::testing::Test {
protected:
    test::TempDir temp;
    CollectionTree tree;
    std::string Make(const std::string& caption)
    {
        TreeNode* n = tree.AddNode(nullptr, Attach::LastChild, caption);
        std::string id = MakeNodeFileName(*n, temp.dir(), "12/31/24");
        tree.SetPageId(n, id);
        return id;
    }
};

TEST_F(PageIdTest, CaptionIsTrimmedAndCleaned)
{
    EXPECT_EQ(Make("  a/b\\c:d*e?f\"g<h>i|j[k]l=m  "), "abcdefghijklm");
    EXPECT_EQ(Make("two\r\nlines\tand\x01"
                   "control"),
              "twolinesandcontrol");
}

TEST_F(PageIdTest, EmptyAndAllForbiddenCaptionsGetTheDate)
{
    EXPECT_EQ(Make("???"), "(12-31-24)");
    // The second one collides with the first node's id even though no file exists yet.
    EXPECT_EQ(Make(""), "(12-31-24)2");
    EXPECT_EQ(Make(" \t "), "(12-31-24)3");
}

TEST_F(PageIdTest, CollisionsWithFilesAndNodes)
{
    temp.write("Page.html", "x");
    EXPECT_EQ(Make("Page"), "Page(12-31-24)");
    EXPECT_EQ(Make("Page"), "Page(12-31-24)2");
    temp.write("Page(12-31-24)3.html", "x");
    EXPECT_EQ(Make("Page"), "Page(12-31-24)4");
    // A folder of the page file's name blocks it as well.
    temp.write("Dir.html/inside", "x");
    EXPECT_EQ(Make("Dir"), "Dir(12-31-24)");
}

TEST_F(PageIdTest, NamesThatWouldLeaveThePagesAreNeverMade)
{
    EXPECT_EQ(Make("."), ".(12-31-24)");
    EXPECT_EQ(Make(".."), "..(12-31-24)");
    EXPECT_EQ(Make("!images"), "!images(12-31-24)");
}

TEST_F(PageIdTest, LongCaptionsAreCutByCharactersAndBytes)
{
    std::string ascii(150, 'x');
    EXPECT_EQ(Make(ascii), std::string(100, 'x'));
    // The long caption itself is free, so no date: the cut one is numbered.
    EXPECT_EQ(Make(ascii), std::string(100, 'x') + "2");
    temp.write(std::string(150, 'y') + ".html", "x");
    EXPECT_EQ(Make(std::string(150, 'y')), std::string(100, 'y'));  // date added, then cut away

    // 100 four-byte characters would be 400 bytes: too long for a file name.
    std::string wide;
    for (int i = 0; i < 150; ++i)
        wide += "\xF0\x9F\x98\x80";
    std::string id = Make(wide);
    EXPECT_LE(id.size(), kPageIdMaxBytes);
    EXPECT_EQ(id.size() % 4, 0u);  // never a character cut in half
    EXPECT_EQ(Utf8Length(id), kPageIdMaxBytes / 4);
    // Two-byte characters: the 100-character cut applies first.
    std::string accented;
    for (int i = 0; i < 150; ++i)
        accented += "\xC3\xA9";
    EXPECT_EQ(Make(accented).size(), 200u);
}

TEST(PageIdValidation, RejectsWhatCouldNameAnotherFile)
{
    EXPECT_TRUE(IsValidPageId("Clip (12-31-24)2"));
    EXPECT_TRUE(IsValidPageId("12345"));
    for (const char* bad : {"", ".", "..", "!images", "a/b", "/etc/passwd", "a\tb"})
        EXPECT_FALSE(IsValidPageId(bad)) << bad;
    EXPECT_FALSE(IsValidPageId(std::string(300, 'x')));
}

}  // namespace
}  // namespace ql
