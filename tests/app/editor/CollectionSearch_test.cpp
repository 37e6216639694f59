#include "app/editor/CollectionSearch.h"

#include "app/collection/CollectionTree.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ql {
namespace {

// Answers from the real files and remembers which files were read.
class SpyScanner : public PageTextSearcher {
public:
    std::vector<std::string> read;
    bool FileContains(const std::string& file, const std::string& text) override
    {
        read.push_back(file);
        return real.FileContains(file, text);
    }
    PageFileScanner real;
};

class CollectionSearchTest : public ::testing::Test {
protected:
    // Science (sci.html: "<p>Atoms</p>")
    //   Physics (phys.html: "<B class=x>Quarks</B>")
    //     Optics (no page file)
    // Recipes (rec.html: "<p>bread</p>")
    void SetUp() override
    {
        science = tree.AddNode(nullptr, Attach::LastSibling, "Science");
        physics = tree.AddNode(science, Attach::LastChild, "Physics");
        optics = tree.AddNode(physics, Attach::LastChild, "Optics");
        recipes = tree.AddNode(nullptr, Attach::LastSibling, "Recipes");
        tree.SetPageId(science, "sci");
        tree.SetPageId(physics, "phys");
        tree.SetPageId(optics, "opt");
        tree.SetPageId(recipes, "rec");
        dir.write("sci.html", "<p>Atoms</p>");
        dir.write("phys.html", "<B class=x>Quarks</B>");
        dir.write("rec.html", "<p>bread</p>");
    }
    std::vector<std::string> Titles() const
    {
        std::vector<std::string> titles;
        for (const SearchRow& row : search.Rows())
            titles.push_back(row.title);
        return titles;
    }

    test::TempDir dir;
    CollectionTree tree;
    TreeNode* science = nullptr;
    TreeNode* physics = nullptr;
    TreeNode* optics = nullptr;
    TreeNode* recipes = nullptr;
    SpyScanner spy;
    CollectionSearch search{tree, dir.dir(), spy};
};

TEST_F(CollectionSearchTest, TitleHitReadsNoPageAndRowsFollowTreeOrder)
{
    ASSERT_TRUE(search.RunSearch("SCI"));
    EXPECT_EQ(Titles(), std::vector<std::string>{"Science"});
    // Only the nodes without a title hit were read.
    EXPECT_EQ(spy.read.size(), 3u);
    for (const std::string& file : spy.read)
        EXPECT_NE(file, dir.dir() + "sci.html");
    EXPECT_EQ(search.ResultText(), "Results: 1");
}

TEST_F(CollectionSearchTest, MarkupIsSearchedAndCaseIgnored)
{
    search.RunSearch("class=X");
    EXPECT_EQ(Titles(), std::vector<std::string>{"Physics"});
    search.RunSearch("<b ");
    EXPECT_EQ(Titles(), std::vector<std::string>{"Physics"});
    search.RunSearch("<P>");
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Science", "Recipes"}));
    const SearchRow& row = search.Rows()[0];
    EXPECT_EQ(row.position, "Science");
    EXPECT_EQ(row.fileName, dir.dir() + "sci.html");
}

TEST_F(CollectionSearchTest, OnlyTitlesSkipsPageHits)
{
    search.onlyTitles = true;
    search.RunSearch("quarks");
    EXPECT_TRUE(search.Rows().empty());
    EXPECT_TRUE(spy.read.empty());
    search.RunSearch("opt");
    ASSERT_EQ(Titles(), std::vector<std::string>{"Optics"});
    EXPECT_EQ(search.Rows()[0].position, "Science->Physics->Optics");
}

TEST_F(CollectionSearchTest, InResultsSearchesOnlyTheRowsInTheirOrder)
{
    search.inResults = true;
    search.RunSearch("s");
    EXPECT_TRUE(search.Rows().empty());
    EXPECT_EQ(search.ResultText(), "Results: 0");

    search.inResults = false;
    search.RunSearch("<p>");  // Science, Recipes
    search.inResults = true;
    search.RunSearch("i");  // in every title, but only the rows are searched
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Science", "Recipes"}));
    search.RunSearch("bread");
    EXPECT_EQ(Titles(), std::vector<std::string>{"Recipes"});
}

TEST_F(CollectionSearchTest, EmptyTextDoesNothing)
{
    search.RunSearch("atoms");
    EXPECT_FALSE(search.RunSearch(""));
    EXPECT_EQ(Titles(), std::vector<std::string>{"Science"});
}

TEST_F(CollectionSearchTest, RowsOfDeletedNodesAreNeverFollowed)
{
    search.RunSearch("s");  // Science, Physics, Optics, Recipes
    ASSERT_EQ(search.Rows().size(), 4u);
    search.ForgetSubtree(*physics);
    tree.Delete(physics);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Science", "Recipes"}));
    EXPECT_EQ(search.NodeOfRow(1), recipes);
    // A node deleted without telling the search: its row resolves to nothing.
    tree.Delete(recipes);
    EXPECT_EQ(search.NodeOfRow(1), nullptr);
    EXPECT_EQ(search.NodeOfRow(7), nullptr);
}

TEST(PageFileScannerTest, FindsTextAcrossChunkBoundariesAndSkipsMissingFiles)
{
    test::TempDir dir;
    // The word straddles the 256 KiB read boundary.
    std::string page(256 * 1024 - 3, 'x');
    page += "NeEdLe";
    page += std::string(1000, 'y');
    dir.write("big.html", page);
    PageFileScanner scanner;
    EXPECT_TRUE(scanner.FileContains(dir.dir() + "big.html", "needle"));
    EXPECT_FALSE(scanner.FileContains(dir.dir() + "big.html", "needles"));
    EXPECT_FALSE(scanner.FileContains(dir.dir() + "missing.html", "x"));
    EXPECT_FALSE(scanner.FileContains("", "x"));
}

}  // namespace
}  // namespace ql
