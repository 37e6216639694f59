// Real X11 drags from another process onto a window with a registered TVekOLEDrop. The drag
// source is our helper program offering what the browsers offer; the pointer is driven with
// XTest, and every wait is for a condition, with a deadline, while the event loop runs.
#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/panel.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "foundation/VekOLEDrop.h"
#include "foundation/VekOLEDrop_wx.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/com/DataObject.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/XPointerDrag.h"

namespace ql {
namespace {

using namespace com;
using Clock = std::chrono::steady_clock;

struct Results {
    int enters = 0, overs = 0, leaves = 0;
    TDropType lastTypes = 0;
    int lastEffect = -1;
    int lastKeys = 0;
    POINTL lastPt;
    bool dropped = false;
    std::string htmlUrl, selText, url, title;
    StringList html, files;
    std::string text;
    bool htmlEvent = false, urlEvent = false, filesEvent = false, textEvent = false;
    bool dibOfferedDuringDrag = false;
    std::vector<std::uint8_t> dib;
};

class XDragDropTest : public ::testing::Test, protected test::XPointerDrag {
protected:
    static constexpr int kTargetX = 600, kTargetY = 300;

    void SetUp() override
    {
        ASSERT_NE(display(), nullptr);
        frame_.reset(new wxFrame(nullptr, wxID_ANY, "drop", wxPoint(kTargetX, kTargetY), wxSize(300, 240),
                                 wxFRAME_NO_TASKBAR | wxBORDER_NONE));
        panel_ = new wxPanel(frame_);
        drop_.TargetControl = WxDropTargetWindow(panel_);
        drop_.OnOLEDragEnter = [this](TMyDragDrop*, IDataObject* d, int, POINTL, int&, int&) {
            ++r_.enters;
            FORMATETC dib = HGlobalFormat(CF_DIB);
            r_.dibOfferedDuringDrag = d && d->QueryGetData(&dib) == S_OK;
        };
        drop_.OnOLEDragOver = [this](TMyDragDrop*, int keys, POINTL pt, int& effect, int&, TDropType& types) {
            ++r_.overs;
            r_.lastKeys = keys;
            r_.lastPt = pt;
            r_.lastTypes = types;
            r_.lastEffect = effect;
        };
        drop_.OnOLEDragLeave = [this](TMyDragDrop*, int&) { ++r_.leaves; };
        drop_.OnOLEDrop = [this](TMyDragDrop*, IDataObject* d, int, POINTL, int&, int&) {
            r_.dropped = true;
            FetchHGlobal(d, CF_DIB, r_.dib);
        };
        drop_.OnDropHTML = [this](TMyDragDrop*, const std::string& url, const StringList& lines,
                                  const std::string& sel) {
            r_.htmlEvent = true;
            r_.htmlUrl = url;
            r_.html = lines;
            r_.selText = sel;
        };
        drop_.OnDropText = [this](TMyDragDrop*, const std::string& text) {
            r_.textEvent = true;
            r_.text = text;
        };
        drop_.OnDropFiles = [this](TMyDragDrop*, const StringList& files) {
            r_.filesEvent = true;
            r_.files = files;
        };
        drop_.OnDropURL = [this](TMyDragDrop*, const std::string& url, const std::string& title) {
            r_.urlEvent = true;
            r_.url = url;
            r_.title = title;
        };
        drop_.Loaded();
        frame_->Show();
        ASSERT_TRUE(
            WaitFor([&] { return frame_->IsShownOnScreen() && panel_->GetScreenPosition().x >= kTargetX; }, 5000));
    }

    void TearDown() override
    {
        frame_.reset();
        Pump(0);
    }

    void EndDrag(const std::function<bool()>& dropDone)
    {
        Button(false);
        EXPECT_TRUE(WaitFor([&] { return dropDone() && source->Said("end"); }, 5000)) << "no drop";
        for (const std::string& t : source->Requested())
            EXPECT_NE(t, "XdndDirectSave0");
        source.reset();
    }

    // Drags from the helper window onto the panel and drops there.
    void Drag(const std::string& mode, const std::function<bool()>& dropDone)
    {
        ASSERT_NO_FATAL_FAILURE(DragOntoTarget(mode));
        EndDrag(dropDone);
    }
    // The same up to the drop: the button is still held over the panel.
    void DragOntoTarget(const std::string& mode)
    {
        int x = 0, y = 0;
        ASSERT_NO_FATAL_FAILURE(StartDrag(mode, x, y));
        wxPoint target = panel_->GetScreenPosition() + wxPoint(150, 120);
        for (int i = 1; i <= 10; ++i) {
            MoveTo(x + (target.x - x) * i / 10, y + (target.y - y) * i / 10);
            Pump(10);
        }
        int wiggle = 0;
        ASSERT_TRUE(WaitFor(
            [&] {
                MoveTo(target.x + (++wiggle % 2), target.y);
                return r_.overs >= 2;
            },
            3000))
            << "no drag-over on the target";
        // Screen coordinates of the pointer, with the dragging button held.
        EXPECT_NEAR(r_.lastPt.x, target.x, 1);
        EXPECT_EQ(r_.lastPt.y, target.y);
        EXPECT_TRUE(r_.lastKeys & MK_LBUTTON);
    }

    test::OwnedFrame<> frame_;
    wxPanel* panel_ = nullptr;
    TVekOLEDrop drop_;
    Results r_;
};

std::string Joined(const StringList& lines)
{
    std::string s;
    for (const auto& l : lines)
        s += l + "\n";
    return s;
}

TEST_F(XDragDropTest, ChromiumSelectionDropsHtmlTextAndOrigin)
{
    Drag("chromium-selection", [&] { return r_.htmlEvent; });
    EXPECT_EQ(r_.lastTypes, dtHTML);
    EXPECT_EQ(r_.lastEffect, static_cast<int>(DROPEFFECT_COPY));
    EXPECT_EQ(r_.htmlUrl, "http://127.0.0.1:8799");
    EXPECT_EQ(r_.selText, "Grüße aus dem Test\nzweite Zeile");
    ASSERT_GE(r_.html.size(), 11u);
    EXPECT_EQ(r_.html[7], "SourceURL:http://127.0.0.1:8799");
    EXPECT_EQ(r_.html[8], "<HTML><BODY>");
    EXPECT_EQ(r_.html[9], "<!--StartFragment--><p style=\"color: rgb(0, 0, 0);\">Grüße aus dem <b>Test</b></p>");
    EXPECT_EQ(r_.html[10], "<p>zweite Zeile</p><!--EndFragment-->");
    EXPECT_EQ(r_.leaves, 0);  // the leave GTK reports before the drop is no cancel
}

// A browser does not deliver the markup of a very large selection (its request just hangs): the
// drop gives up on it within seconds and keeps the selection as text, having asked for the small
// targets first.
TEST_F(XDragDropTest, MarkupTheSourceNeverDeliversDropsTheTextWithinSeconds)
{
    ASSERT_NO_FATAL_FAILURE(DragOntoTarget("chromium-selection-stalled"));
    const auto start = Clock::now();
    Button(false);
    EXPECT_TRUE(WaitFor([&] { return r_.textEvent || r_.htmlEvent; }, 40000)) << "no drop";
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    std::printf("drop with undelivered markup completed after %lld ms\n", static_cast<long long>(took.count()));
    EXPECT_LT(took.count(), 5000);
    EXPECT_FALSE(r_.htmlEvent);
    EXPECT_EQ(r_.text, "Grüße aus dem Test\nzweite Zeile");
    source->Read();
    EXPECT_EQ(source->Requested(), (std::vector<std::string>{"UTF8_STRING", "chromium/x-renderer-taint", "text/html"}));
    source.reset();  // the helper stops hanging and quits
}

// Large markup that the source does hand over arrives whole.
TEST_F(XDragDropTest, LargeMarkupThatTheSourceDeliversArrivesWhole)
{
    ASSERT_NO_FATAL_FAILURE(DragOntoTarget("chromium-selection-large"));
    const auto start = Clock::now();
    EndDrag([&] { return r_.htmlEvent || r_.textEvent; });
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    std::printf("drop with 1.5 MB of markup completed after %lld ms\n", static_cast<long long>(took.count()));
    EXPECT_TRUE(r_.htmlEvent);
    EXPECT_EQ(r_.htmlUrl, "http://127.0.0.1:8799");
    const std::string all = Joined(r_.html);
    EXPECT_GT(all.size(), 700000u);
    EXPECT_NE(all.find("<p>zweite Zeile</p><!--EndFragment-->"), std::string::npos);
}

// The pointer comes to the window and the button goes up before it moves again: the toolkit
// reports that single motion as the entry only, and the drop must still arrive.
TEST_F(XDragDropTest, DropAfterASingleMotionOverTheWindowArrives)
{
    int x = 0, y = 0;
    ASSERT_NO_FATAL_FAILURE(StartDrag("chromium-selection", x, y));
    wxPoint target = panel_->GetScreenPosition() + wxPoint(150, 120);
    const int outsideX = kTargetX - 60;  // left of the window, the path never crossing it
    for (int i = 1; i <= 10; ++i) {
        MoveTo(x + (outsideX - x) * i / 10, y + (target.y - y) * i / 10);
        Pump(10);
    }
    EXPECT_EQ(r_.enters, 0);
    MoveTo(target.x, target.y);
    ASSERT_TRUE(WaitFor([&] { return r_.enters == 1; }, 3000)) << "the drag did not enter";
    Pump(0);  // the answer to the source goes out
    EndDrag([&] { return r_.htmlEvent; });
    EXPECT_EQ(r_.lastTypes, dtHTML);
    EXPECT_EQ(r_.selText, "Grüße aus dem Test\nzweite Zeile");
}

TEST_F(XDragDropTest, FirefoxSelectionDropsHtmlWithoutMetaLineOrSourceUrl)
{
    Drag("firefox-selection", [&] { return r_.htmlEvent; });
    EXPECT_EQ(r_.htmlUrl, "");
    EXPECT_EQ(r_.selText, "Grüße aus dem Test\nzweite Zeile");
    std::string all = Joined(r_.html);
    EXPECT_EQ(all.find("<meta"), std::string::npos);
    EXPECT_NE(all.find("<!--StartFragment--><p style=\"color: rgb(0, 0, 0);\">Grüße"), std::string::npos);
}

TEST_F(XDragDropTest, LinksDropUrlAndTitle)
{
    for (const char* mode : {"chromium-link", "firefox-link"}) {
        r_ = Results{};
        Drag(mode, [&] { return r_.urlEvent; });
        EXPECT_EQ(r_.lastTypes, dtURL) << mode;
        EXPECT_EQ(r_.lastEffect, static_cast<int>(DROPEFFECT_LINK)) << mode;
        EXPECT_EQ(r_.url, "http://127.0.0.1:8799/page.html") << mode;
        EXPECT_EQ(r_.title, "Example Page") << mode;
    }
}

TEST_F(XDragDropTest, BrowserPicturesOfferADibBesideTheirLink)
{
    for (const char* mode : {"chromium-image", "firefox-image"}) {
        r_ = Results{};
        Drag(mode, [&] { return r_.urlEvent; });
        EXPECT_TRUE(r_.dibOfferedDuringDrag) << mode;
        EXPECT_EQ(r_.lastTypes, dtURL) << mode;  // the link comes first in the classification
        EXPECT_EQ(r_.url, "http://127.0.0.1:8799/img/a.png") << mode;
        ASSERT_EQ(r_.dib.size(), 40u + 3 * 2 * 4) << mode;
        EXPECT_EQ(r_.dib[4], 3);
        EXPECT_EQ(r_.dib[8], 2);
    }
}

TEST_F(XDragDropTest, FilesFromAQtFileManagerDropAsFiles)
{
    Drag("qt-files", [&] { return r_.filesEvent || r_.urlEvent; });
    EXPECT_EQ(r_.lastTypes, dtFiles);
    EXPECT_FALSE(r_.urlEvent);
    EXPECT_EQ(r_.files, (StringList{"/tmp/a b.txt", "/tmp/c.txt"}));
}

TEST_F(XDragDropTest, PictureAloneIsClassifiedAsPicture)
{
    Drag("image-only", [&] { return r_.dropped; });
    EXPECT_EQ(r_.lastTypes, dtPicture);
    EXPECT_EQ(r_.lastEffect, static_cast<int>(DROPEFFECT_COPY));
    ASSERT_EQ(r_.dib.size(), 40u + 24);
    // The filled colour 0x2080C0, stored blue, green, red.
    EXPECT_EQ(r_.dib[40], 0xC0);
    EXPECT_EQ(r_.dib[41], 0x80);
    EXPECT_EQ(r_.dib[42], 0x20);
}

}  // namespace
}  // namespace ql
