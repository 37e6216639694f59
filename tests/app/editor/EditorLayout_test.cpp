#include "app/editor/EditorLayout.h"

#include "foundation/VekCollectClass.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ql {
namespace {

namespace fs = std::filesystem;

TEST(EditorLayoutTest, StoredViewIndexOutsideTheViewsOpensBrowse)
{
    EXPECT_EQ(ClampView(-1), 0);
    EXPECT_EQ(ClampView(3), 0);
    EXPECT_EQ(ClampView(1), 1);
    EXPECT_EQ(ClampView(2), 2);
}

TEST(EditorLayoutTest, WidthButtonCyclesHiddenDoubleNormal)
{
    TreeWidthCycle cycle;
    EXPECT_EQ(cycle.Click(206), 0);
    EXPECT_EQ(cycle.Click(0), 412);
    EXPECT_EQ(cycle.Click(412), 206);
    EXPECT_EQ(cycle.State(), 0);
    // A width set by dragging the splitter while hidden or doubled is not remembered.
    EXPECT_EQ(cycle.Click(150), 0);
    EXPECT_EQ(cycle.Click(90), 300);
    EXPECT_EQ(cycle.Click(500), 150);
}

TEST(EditorLayoutTest, BarsWidenTheTreeAndTheWindowOnlyWhereTheirToolsNeedIt)
{
    // Tools that fit keep the designed widths.
    EditorWidths fit = FitBars(206, 753, BarWidths{180, 2, 5, 500});
    EXPECT_EQ(fit.tree, 206);
    EXPECT_EQ(fit.client, 753);
    // GTK's five tree tools take 206 pixels of their own, the view bars 700: the tree gains its
    // border, the window the rest.
    fit = FitBars(206, 753, BarWidths{206, 2, 5, 700});
    EXPECT_EQ(fit.tree, 208);
    EXPECT_EQ(fit.client, 208 + 5 + 700);
}

TEST(EditorLayoutTest, ToolbarSwitchHidesEveryBarAndThePanelNeedsAList)
{
    TSettings s;
    s.ShowToolbar = false;
    s.ShowTree = true;
    s.ShowImageList = true;
    LayoutPlan plan = PlanLayout(s, false);
    EXPECT_FALSE(plan.toolbars);
    EXPECT_TRUE(plan.tree);
    EXPECT_FALSE(plan.imagePanel);
    EXPECT_TRUE(PlanLayout(s, true).imagePanel);
    s.ShowImageList = false;
    EXPECT_FALSE(PlanLayout(s, true).imagePanel);
}

TEST(EditorLayoutTest, ImagesPanelShowsThePageFolderElseTheImagesFolder)
{
    test::TempDir temp;
    TSettings s;
    s.CollectionDir = temp.dir() + "Collection/";
    s.ImagesDir = s.CollectionDir + "!images/";
    fs::create_directories(s.CollectionDir + "Page/");

    s.CurrentNodeId = "Page";
    EXPECT_EQ(ImagesPanelFolder(s), s.CollectionDir + "Page/");
    EXPECT_FALSE(fs::exists(s.ImagesDir));

    s.CurrentNodeId = "Other";
    EXPECT_EQ(ImagesPanelFolder(s), s.ImagesDir);
    EXPECT_TRUE(fs::is_directory(s.ImagesDir));

    // A collection folder moved away is not made again for the panel.
    fs::rename(s.CollectionDir, temp.dir() + "Moved");
    EXPECT_EQ(ImagesPanelFolder(s, true), s.ImagesDir);
    EXPECT_FALSE(fs::exists(s.CollectionDir));
    fs::rename(temp.dir() + "Moved", s.CollectionDir);

    // Never the collection folder itself, nor a folder outside it.
    for (const char* id : {"", "..", ".", "a/..", "!images"}) {
        s.CurrentNodeId = id;
        EXPECT_EQ(ImagesPanelFolder(s), s.ImagesDir) << id;
    }
}

}  // namespace
}  // namespace ql
