#include "foundation/TrayIcon.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

// Records every call of the icon's desktop side; posted messages wait until Pump().
struct Recording {
    std::vector<std::string> calls;
    std::vector<NotifyIconData> data;
    std::vector<std::uint32_t> posted;
    std::function<void(std::uint32_t, std::uint32_t)> proc;
    TPoint cursor{300, 400};
};

class FakeShell : public TrayShell {
public:
    explicit FakeShell(Recording& r) : r_(r) {}
    void Attach(std::function<void(std::uint32_t, std::uint32_t)> p) override { r_.proc = std::move(p); }
    bool NotifyIcon(std::uint32_t op, const NotifyIconData& d) override
    {
        r_.calls.push_back(op == NIM_ADD ? "add" : op == NIM_MODIFY ? "modify" : "delete");
        r_.data.push_back(d);
        return true;
    }
    void PostMessage(std::uint32_t m) override { r_.posted.push_back(m); }
    TPoint CursorPos() override { return r_.cursor; }
    void PrepareForPopup() override { r_.calls.push_back("prepare"); }
    void PopupMenu(TrayMenu&, TPoint at) override
    {
        r_.calls.push_back("popup " + std::to_string(at.X) + "," + std::to_string(at.Y));
    }

private:
    Recording& r_;
};

void Pump(Recording& r)
{
    auto posted = std::move(r.posted);
    r.posted.clear();
    for (auto m : posted)
        r.proc(m, 0);
}

TIcon Pixel(std::uint8_t v) { return TIcon{1, 1, {v, v, v, 255}}; }

TEST(TrayIcon, LoadingOrderAddsWithEmptyTipThenTheTipIsAppliedOnceMore)
{
    Recording r;
    TTrayIcon icon(std::make_unique<FakeShell>(r));
    icon.SetActive(true);
    icon.SetIcon(Pixel(9));
    icon.SetToolTip("Quillory");
    EXPECT_EQ(r.calls, (std::vector<std::string>{"add", "modify", "modify"}));
    EXPECT_EQ(r.data[0].szTip, "");
    EXPECT_EQ(r.data[0].uFlags, 7u);
    EXPECT_EQ(r.data[0].uCallbackMessage, 1025u);
    EXPECT_EQ(r.posted, std::vector<std::uint32_t>{1026});
    Pump(r);
    ASSERT_EQ(r.calls.size(), 4u);
    EXPECT_EQ(r.calls[3], "modify");
    EXPECT_EQ(r.data[3].szTip, "Quillory");
    EXPECT_EQ(r.data[3].hIcon, Pixel(9));
}

TEST(TrayIcon, NothingIsSentWhileInactiveOrForUnchangedValues)
{
    Recording r;
    {
        TTrayIcon icon(std::make_unique<FakeShell>(r));
        icon.SetToolTip("tip");
        icon.SetIcon(Pixel(1));
        icon.SetActive(false);
        EXPECT_TRUE(r.calls.empty());
        icon.SetActive(true);  // the values set meanwhile arrive with the add
        EXPECT_EQ(r.data.back().szTip, "tip");
        EXPECT_EQ(r.data.back().hIcon, Pixel(1));
        EXPECT_TRUE(r.posted.empty());  // a tooltip was there already
        icon.SetActive(true);
        icon.SetIcon(Pixel(1));
        EXPECT_EQ(r.calls, std::vector<std::string>{"add"});
        icon.SetActive(false);
        icon.SetActive(true);
        EXPECT_EQ(r.calls, (std::vector<std::string>{"add", "delete", "add"}));
    }
    EXPECT_EQ(r.calls.back(), "delete");  // destruction of an active icon removes it
    Recording q;
    {
        TTrayIcon inactive(std::make_unique<FakeShell>(q));
    }
    EXPECT_TRUE(q.calls.empty());
}

TEST(TrayIcon, ToolTipKeepsSixtyTwoCharactersWithoutSplittingOne)
{
    Recording r;
    TTrayIcon icon(std::make_unique<FakeShell>(r));
    icon.SetToolTip(std::string(70, 'x'));
    EXPECT_EQ(icon.ToolTip(), std::string(62, 'x'));
    std::string umlauts;
    for (int i = 0; i < 70; ++i)
        umlauts += "ü";
    icon.SetToolTip(umlauts);
    EXPECT_EQ(icon.ToolTip().size(), 124u);
}

TEST(TrayIcon, ClicksBecomeEventsInTheOrderReported)
{
    Recording r;
    TTrayIcon icon(std::make_unique<FakeShell>(r));
    std::vector<std::string> seen;
    icon.OnClick = [&](TTrayIcon* s) { seen.push_back(s == &icon ? "click" : "?"); };
    icon.OnDblClick = [&](TTrayIcon*) { seen.push_back("dbl"); };
    for (auto m : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, 0x0200u /* a move */})
        r.proc(kTrayCallbackMessage, m);
    r.proc(0x000F, WM_LBUTTONUP);  // another message: not a click
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "dbl", "click"}));
}

TEST(TrayIcon, TwoClicksWithinTheDoubleClickTimeMakeADoubleClick)
{
    int doubleClick = 400;
    TrayClickPairing pairing([&] { return doubleClick; });
    Recording r;
    TTrayIcon icon(std::make_unique<FakeShell>(r));
    std::vector<std::string> seen;
    icon.OnClick = [&](TTrayIcon*) { seen.push_back("click"); };
    icon.OnDblClick = [&](TTrayIcon*) { seen.push_back("dbl"); };
    auto clickAt = [&](std::uint32_t at) {
        for (std::uint32_t m : pairing.Click(at))
            r.proc(kTrayCallbackMessage, m);
    };
    clickAt(1000);
    clickAt(1400);  // just within the time
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "dbl", "click"}));
    seen.clear();
    clickAt(1500);  // a third click begins a new pair
    clickAt(1901);  // too late: two single clicks
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "click"}));
    seen.clear();
    doubleClick = 600;  // the desktop's setting changed
    clickAt(2400);
    EXPECT_EQ(seen, (std::vector<std::string>{"dbl", "click"}));
    seen.clear();
    clickAt(2500);
    clickAt(2400);  // stamped before the first: no pair
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "click"}));
    seen.clear();
    clickAt(0xFFFFFF00u);
    clickAt(0x10u);  // 272 ms later, across the server clock's wrap
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "dbl", "click"}));
}

TEST(TrayIcon, RightClickPopsTheMenuAtTheCursorThenRaisesTheEvent)
{
    Recording r;
    TTrayIcon icon(std::make_unique<FakeShell>(r));
    std::string got;
    icon.OnRightClick = [&](TTrayIcon*, TMouseButton b, TShiftState sh, int x, int y) {
        r.calls.push_back("event");
        got = std::to_string(static_cast<int>(b)) + "/" + std::to_string(sh) + "/" + std::to_string(x) + "," +
              std::to_string(y);
    };
    r.proc(kTrayCallbackMessage, WM_RBUTTONUP);  // no menu: the event still comes
    EXPECT_EQ(r.calls, std::vector<std::string>{"event"});
    EXPECT_EQ(got, "1/0/300,400");
    TrayMenu menu;
    icon.PopupMenu = &menu;
    r.calls.clear();
    r.proc(kTrayCallbackMessage, WM_RBUTTONUP);
    EXPECT_EQ(r.calls, (std::vector<std::string>{"prepare", "popup 300,400", "event"}));
}

TEST(TrayIcon, ThrowingHandlerStaysInside)
{
    Recording r;
    TTrayIcon icon(std::make_unique<FakeShell>(r));
    icon.OnClick = [](TTrayIcon*) { throw std::runtime_error("x"); };
    EXPECT_NO_THROW(r.proc(kTrayCallbackMessage, WM_LBUTTONUP));
}

}  // namespace
}  // namespace ql
