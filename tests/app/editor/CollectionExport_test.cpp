#include "app/editor/CollectionExport.h"

#include "app/collection/CollectionTree.h"
#include "platform/core/IniFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ql {
namespace {

namespace fs = std::filesystem;

class CollectionExportTest : public ::testing::Test {
protected:
    // Top <&> (top.html, pictures a.png b.png)
    //   Mid (mid.html, picture a.png)
    //     Leaf (no page file)
    // Other "x" (page id "my page")
    void SetUp() override
    {
        collection.write("top.html", "<p>top</p>");
        collection.write("mid.html", "<p>mid</p>");
        collection.write("my page.html", "<p>other</p>");
        collection.write("!images/a.png", "A");
        collection.write("!images/b.png", "B");
        ini = std::make_unique<IniFile>(collection.dir() + "images.ini");
        EXPECT_TRUE(ini->WriteString("top", "a.png", "http://x/a.png"));
        EXPECT_TRUE(ini->WriteString("top", "b.png", "http://x/b.png"));
        EXPECT_TRUE(ini->WriteString("top", "../escape.png", "http://x/e.png"));
        EXPECT_TRUE(ini->WriteString("mid", "a.png", "http://x/a.png"));
        paths = ExportPaths{collection.dir(), collection.dir() + "!images/", ini.get()};

        top = tree.AddNode(nullptr, Attach::LastSibling, "Top <&>");
        mid = tree.AddNode(top, Attach::LastChild, "Mid");
        leaf = tree.AddNode(mid, Attach::LastChild, "Leaf");
        other = tree.AddNode(nullptr, Attach::LastSibling, "Other \"x\"");
        tree.SetPageId(top, "top");
        tree.SetPageId(mid, "mid");
        tree.SetPageId(leaf, "leaf");
        tree.SetPageId(other, "my page");
    }

    test::TempDir collection;
    test::TempDir out;
    std::unique_ptr<IniFile> ini;
    ExportPaths paths;
    CollectionTree tree;
    TreeNode* top = nullptr;
    TreeNode* mid = nullptr;
    TreeNode* leaf = nullptr;
    TreeNode* other = nullptr;
};

TEST_F(CollectionExportTest, WholeTreeIndexLinesNestChildrenAndEscape)
{
    IndexPageWriter writer(paths, true);
    std::vector<std::string> status;
    writer.onStatus = [&](const std::string& title) { status.push_back(title); };
    writer.AddTree(tree);
    const StringList expected = {
        "<html>",
        "<blockquote>",
        "<a href=\"top.html\">Top &lt;&amp;&gt;</a>",
        "<blockquote>",
        "<a href=\"mid.html\">Mid</a>",
        "<blockquote>",
        "<a href=\"leaf.html\">Leaf</a>",
        "</blockquote>",
        "</blockquote>",
        "</blockquote>",
        "<blockquote>",
        "<a href=\"my%20page.html\">Other \"x\"</a>",
        "</blockquote>",
        "</html>",
    };
    EXPECT_EQ(writer.Finish(), expected);
    EXPECT_EQ(status, (std::vector<std::string>{"Top <&>", "Mid", "Leaf", "Other \"x\""}));
    // Nothing was copied for an index of the whole collection.
    EXPECT_FALSE(fs::exists(collection.path() / "!images" / "!images"));
}

TEST_F(CollectionExportTest, SubtreeExportCopiesPagesAndPicturesOnce)
{
    out.write("!images/a.png", "older");  // a picture already there is kept
    out.write("top.html", "older page");  // a page already there is replaced
    IndexPageWriter writer(paths, false, out.path().string());
    writer.AddIndexEntries(*top);
    const StringList lines = writer.Finish();
    EXPECT_EQ(lines[2], "<a href=\"top.html\">Top &lt;&amp;&gt;</a>");
    // The node without a page file keeps its entry with an empty target.
    EXPECT_EQ(lines[6], "<a href=\"\">Leaf</a>");
    EXPECT_EQ(out.read("top.html"), "<p>top</p>");
    EXPECT_EQ(out.read("mid.html"), "<p>mid</p>");
    EXPECT_EQ(out.read("!images/a.png"), "older");
    EXPECT_EQ(out.read("!images/b.png"), "B");
    // A picture name from images.ini never reaches outside the export's picture folder.
    EXPECT_FALSE(fs::exists(out.path() / "escape.png"));
    EXPECT_FALSE(fs::exists(out.path() / "leaf.html"));
}

TEST_F(CollectionExportTest, ExportingIntoTheCollectionItselfLeavesItsFilesAsTheyWere)
{
    const auto before = fs::last_write_time(collection.path() / "top.html");
    IndexPageWriter writer(paths, false, collection.dir());
    writer.AddIndexEntries(*top);
    EXPECT_EQ(writer.Finish()[2], "<a href=\"top.html\">Top &lt;&amp;&gt;</a>");
    EXPECT_EQ(collection.read("top.html"), "<p>top</p>");
    EXPECT_EQ(fs::last_write_time(collection.path() / "top.html"), before);
    EXPECT_EQ(collection.read("!images/a.png"), "A");

    // A link where a picture would go is left alone, and so is what it points at.
    fs::create_directories(out.path() / "!images");
    fs::create_symlink(collection.path() / "!images" / "b.png", out.path() / "!images" / "a.png");
    EXPECT_EQ(CopyPageTo(paths, out.dir(), *top), out.dir() + "top.html");
    EXPECT_EQ(collection.read("!images/b.png"), "B");
    EXPECT_TRUE(fs::is_symlink(out.path() / "!images" / "a.png"));
}

TEST_F(CollectionExportTest, CopyPageToWithoutPicturesMakesNoPictureFolder)
{
    const std::string written = CopyPageTo(paths, out.path().string(), *other, "Renamed");
    EXPECT_EQ(written, out.dir() + "Renamed.html");
    EXPECT_EQ(out.read("Renamed.html"), "<p>other</p>");
    EXPECT_FALSE(fs::exists(out.path() / "!images"));
    EXPECT_EQ(CopyPageTo(paths, out.dir(), *leaf), "");
    EXPECT_EQ(CopyPageTo(paths, "", *top), "");
    // A folder that cannot be written: nothing is reported as written.
    EXPECT_EQ(CopyPageTo(paths, out.dir() + "missing/", *top), "");
}

TEST_F(CollectionExportTest, SaveAsAlwaysWritesHtmlAndAsksBeforeReplacingAnotherFile)
{
    SaveAsTarget target = SaveAsTargetFor(out.dir() + "page.htm");
    EXPECT_EQ(target.written, out.dir() + "page.html");
    EXPECT_EQ(target.baseName, "page");
    EXPECT_FALSE(target.replacesOther);
    out.write("page.html", "someone else's");
    EXPECT_TRUE(SaveAsTargetFor(out.dir() + "page.htm").replacesOther);
    // The confirmed name itself was already confirmed by the dialog.
    EXPECT_FALSE(SaveAsTargetFor(out.dir() + "page.html").replacesOther);
    EXPECT_EQ(SaveAsProposal(*other), "Other x");
}

TEST(IndexFileNameTest, UnsafeCharactersLeaveTheName)
{
    EXPECT_EQ(WholeTreeIndexFile("/c/", "12/7/2026"), "/c/index - 1272026.html");
    EXPECT_EQ(SubtreeIndexFile("/out", "a:b?c"), "/out/index - abc.html");
}

TEST_F(CollectionExportTest, IndexPageIsWrittenWithCrLf)
{
    ASSERT_TRUE(WriteIndexPage(out.dir() + "index.html", {"<html>", "</html>"}));
    EXPECT_EQ(out.read("index.html"), "<html>\r\n</html>\r\n");
    EXPECT_FALSE(WriteIndexPage(out.dir() + "no/index.html", {"<html>"}));
}

}  // namespace
}  // namespace ql
