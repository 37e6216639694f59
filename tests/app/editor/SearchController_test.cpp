#include "app/editor/SearchController.h"

#include "app/editor/TreeOperations.h"
#include "tests/app/editor/session/SessionFixture.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

struct FakePanel : SearchPanelView {
    bool visible = false;
    bool buttonDown = false;
    int focused = 0;
    std::vector<std::string> titles;  // the rows shown
    int shown = 0;
    int tag = 0;
    std::vector<std::string> highlighted;

    bool PanelVisible() const override { return visible; }
    void ShowPanel(bool show) override
    {
        visible = show;
        focused += show;
    }
    void SetSearchButtonDown(bool down) override { buttonDown = down; }
    void ShowRows(const std::vector<SearchRow>& rows) override
    {
        ++shown;
        titles.clear();
        for (const SearchRow& r : rows)
            titles.push_back(r.title);
    }
    int BrowseTag() const override { return tag; }
    void SetBrowseTag(int t) override { tag = t; }
    void HighlightInBrowse(const std::string& text) override { highlighted.push_back(text); }
};

class SearchControllerTest : public test::SessionFixture {
protected:
    FakePanel panel;
    PageFileScanner scanner;
    SearchController search{*session, views, window, dialogs, panel, scanner};
    TreeNode* science = nullptr;
    TreeNode* physics = nullptr;
    TreeNode* recipes = nullptr;

    SearchControllerTest()
    {
        science = AddPage(nullptr, "Science", "sci", "<p>Atoms and quarks</p>");
        physics = AddPage(science, "Physics", "phys", "<B>Quarks</B>");
        recipes = AddPage(nullptr, "Recipes", "rec", "<p>bread</p>");
        window.SelectNode(recipes);
        views.log.clear();
    }
};

TEST_F(SearchControllerTest, ThePanelTogglesAndTheToolsMenuKeepsTheButtonWithIt)
{
    search.SearchBClick();
    EXPECT_TRUE(panel.visible);
    EXPECT_EQ(panel.focused, 1);
    search.SearchBClick();
    EXPECT_FALSE(panel.visible);
    search.Search2Click();
    EXPECT_TRUE(panel.visible);
    EXPECT_TRUE(panel.buttonDown);
    search.Search2Click();
    EXPECT_FALSE(panel.visible);
    EXPECT_FALSE(panel.buttonDown);
}

TEST_F(SearchControllerTest, ASearchShowsItsRowsAndTellsTheirNumber)
{
    search.RunSearch("", false, false);
    EXPECT_EQ(panel.shown, 0);
    EXPECT_TRUE(dialogs.messages.empty());

    search.RunSearch("QUARKS", false, false);
    EXPECT_EQ(panel.titles, (std::vector<std::string>{"Science", "Physics"}));
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Results: 2"}));
    EXPECT_EQ(window.busy, 0);

    // Only titles, then within the results.
    search.RunSearch("s", false, true);
    EXPECT_EQ(panel.titles, (std::vector<std::string>{"Science", "Physics", "Recipes"}));
    search.RunSearch("b", true, false);
    EXPECT_EQ(panel.titles, (std::vector<std::string>{"Physics", "Recipes"}));
    EXPECT_EQ(dialogs.messages.back(), "Results: 2");
}

TEST_F(SearchControllerTest, AHitOpensInBrowseAndIsMarkedOnceItsPageIsComplete)
{
    views.active = kViewText;
    search.RunSearch("quarks", false, false);
    search.SearchLVClick(1);
    EXPECT_EQ(tree.Selected(), physics);
    EXPECT_EQ(views.active, kViewBrowse);
    ASSERT_GE(views.log.size(), 2u);
    EXPECT_EQ(views.log[0], "switch 0");  // without loading: the selection shows the page
    EXPECT_EQ(views.browsed, File("phys"));
    EXPECT_EQ(panel.tag, kWebTagSearchHit);

    search.webDocumentComplete("quarks");
    EXPECT_EQ(panel.highlighted, (std::vector<std::string>{"quarks"}));
    EXPECT_EQ(panel.tag, 0);
    // Later pages are not marked.
    search.webDocumentComplete("quarks");
    EXPECT_EQ(panel.highlighted.size(), 1u);

    // The selected node's row loads nothing; its mark waits for the next complete page.
    views.log.clear();
    search.SearchLVClick(1);
    EXPECT_EQ(views.log, (std::vector<std::string>{"switch 0"}));
    EXPECT_EQ(panel.tag, kWebTagSearchHit);

    // No row selected, or a row past the end: nothing.
    views.log.clear();
    search.SearchLVClick(std::nullopt);
    search.SearchLVClick(7);
    EXPECT_TRUE(views.log.empty());
}

TEST_F(SearchControllerTest, DeletingANodeTakesTheRowsOfItsSubtree)
{
    search.RunSearch("a", false, false);  // Science, Physics (by page), Recipes
    ASSERT_EQ(panel.titles.size(), 3u);
    TreeOperations ops(*session, views, window, dialogs, ini.get());
    ops.onDeleting = [&](const TreeNode& node) { search.NodeDeleting(node); };
    dialogs.answer = true;
    ops.DeleteNodeTree(science);
    EXPECT_EQ(panel.titles, (std::vector<std::string>{"Recipes"}));
    ASSERT_EQ(search.Search().Rows().size(), 1u);
    EXPECT_EQ(search.Search().NodeOfRow(0), recipes);
}

TEST_F(SearchControllerTest, ARowWhoseNodeWentIsNeverFollowed)
{
    search.RunSearch("quarks", false, false);
    tree.Delete(physics);  // gone without the tree operations
    views.log.clear();
    search.SearchLVClick(1);
    EXPECT_TRUE(views.log.empty());
    EXPECT_EQ(tree.Selected(), recipes);
    EXPECT_EQ(panel.tag, 0);
}

}  // namespace
}  // namespace ql
