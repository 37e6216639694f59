#include "app/editor/TextPrintout_wx.h"

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>

namespace ql {
namespace {

// A page of 600 x 800 pixels drawn into a bitmap, as a printer DC would be.
struct Page {
    wxBitmap bitmap{600, 800};
    wxMemoryDC dc{bitmap};
    void Attach(TextPrintout& printout)
    {
        printout.SetDC(&dc);
        printout.SetPPIScreen(96, 96);
        printout.SetPPIPrinter(96, 96);
        printout.SetPageSizePixels(600, 800);
        printout.SetPaperRectPixels(wxRect(0, 0, 600, 800));
    }
};

TEST(TextPrintoutTest, LinesWrapToThePageAndFillPages)
{
    wxString text;
    for (int i = 0; i < 200; ++i)
        text += wxString::Format("line %d\r\n", i);
    text += wxString('x', 1000) + "\n\tend";
    TextPrintout printout("My page", text);
    Page page;
    page.Attach(printout);
    printout.OnPreparePrinting();

    const auto& lines = printout.Lines();
    ASSERT_GT(lines.size(), 203u);  // the long line takes several
    EXPECT_EQ(lines[0], "line 0");
    EXPECT_EQ(lines.back(), "    end");
    wxString rejoined;
    for (std::size_t i = 200; i + 1 < lines.size(); ++i) {
        EXPECT_LE(page.dc.GetTextExtent(lines[i]).x, 600) << i;
        rejoined += lines[i];
    }
    EXPECT_EQ(rejoined, wxString('x', 1000));

    int minPage = 0, maxPage = 0, from = 0, to = 0;
    printout.GetPageInfo(&minPage, &maxPage, &from, &to);
    EXPECT_EQ(minPage, 1);
    EXPECT_GT(maxPage, 1);
    EXPECT_TRUE(printout.HasPage(maxPage));
    EXPECT_FALSE(printout.HasPage(maxPage + 1));
    EXPECT_TRUE(printout.OnPrintPage(maxPage));
    EXPECT_EQ(printout.GetTitle(), "My page");
}

TEST(TextPrintoutTest, EmptyTextIsOnePage)
{
    TextPrintout printout("", "");
    Page page;
    page.Attach(printout);
    printout.OnPreparePrinting();
    EXPECT_TRUE(printout.HasPage(1));
    EXPECT_FALSE(printout.HasPage(2));
    EXPECT_TRUE(printout.OnPrintPage(1));
}

}  // namespace
}  // namespace ql
