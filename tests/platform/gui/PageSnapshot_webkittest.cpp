#include "platform/gui/PageSnapshot_wx.h"

#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <gtest/gtest.h>
#include <wx/image.h>

#include <optional>

namespace ql::web {
namespace {

TEST(PageSnapshotTest, RendersThePageIntoAPicture)
{
    test::TempDir dir;
    dir.write("page.html", "<html><body style=\"margin:0;background:#ff0000\">"
                           "<div style=\"height:60px;background:#0000ff\"></div></body></html>");
    std::optional<bool> result;
    auto snapshot = PageSnapshot::Start(dir.dir() + "page.html", dir.dir() + "wall.png", 200, 150,
                                        [&](bool ok) { result = ok; });
    ASSERT_TRUE(snapshot);
    ASSERT_TRUE(test::PumpUntil([&] { return result.has_value(); }));
    ASSERT_TRUE(*result);
    wxImage picture(wxString::FromUTF8(dir.dir() + "wall.png"), wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(picture.IsOk());
    EXPECT_EQ(picture.GetWidth(), 200);
    EXPECT_EQ(picture.GetHeight(), 150);
    EXPECT_EQ(picture.GetBlue(10, 10), 255);  // the blue strip at the top
    EXPECT_EQ(picture.GetRed(10, 10), 0);
    EXPECT_EQ(picture.GetRed(10, 120), 255);  // the red page below it
}

TEST(PageSnapshotTest, AMissingPageStartsNothingAndDestroyingStopsTheCallback)
{
    test::TempDir dir;
    EXPECT_FALSE(PageSnapshot::Start(dir.dir() + "missing.html", dir.dir() + "x.png", 100, 100, [](bool) {}));
    dir.write("page.html", "<p>x</p>");
    bool called = false;
    auto snapshot = PageSnapshot::Start(dir.dir() + "page.html", dir.dir() + "x.png", 100, 100,
                                        [&](bool) { called = true; });
    ASSERT_TRUE(snapshot);
    snapshot.reset();
    test::PumpUntil([] { return false; }, 300);
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace ql::web
