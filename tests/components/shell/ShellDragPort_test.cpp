#include <gtest/gtest.h>

#include "components/shell/ShellDragPort.h"
#include "tests/components/shell/ShellDragFake.h"

using namespace ql::com;
using namespace ql::shellctl;
using Steps = std::vector<std::pair<int, int>>;

namespace {

TEST(DragAutoScroll, AutoScrollZones)
{
    // 26 pixels at the sides, 20 at the top and bottom; a corner scrolls both ways.
    EXPECT_EQ(DragAutoScrollStep(5, 5, 300, 200), (TScrollStep{-1, -1}));
    EXPECT_EQ(DragAutoScrollStep(150, 100, 300, 200), (TScrollStep{0, 0}));
    EXPECT_EQ(DragAutoScrollStep(25, 100, 300, 200), (TScrollStep{-1, 0}));
    EXPECT_EQ(DragAutoScrollStep(26, 100, 300, 200), (TScrollStep{0, 0}));
    EXPECT_EQ(DragAutoScrollStep(274, 100, 300, 200), (TScrollStep{0, 0}));
    EXPECT_EQ(DragAutoScrollStep(275, 100, 300, 200), (TScrollStep{1, 0}));
    EXPECT_EQ(DragAutoScrollStep(150, 19, 300, 200), (TScrollStep{0, -1}));
    EXPECT_EQ(DragAutoScrollStep(150, 181, 300, 200), (TScrollStep{0, 1}));
    EXPECT_EQ(DragAutoScrollStep(150, 180, 300, 200), (TScrollStep{0, 0}));
}

TEST(DragAutoScroll, StepsAtMostOncePerIntervalAndEveryCheckCounts)
{
    ql::test::FakeShellDragPort port;
    TDragAutoScroll scroll;
    DWORD effect = DROPEFFECT_COPY;
    scroll.Start(port);
    port.tick += 100;  // not more than the interval yet
    scroll.Over(port, {5, 190}, effect);
    EXPECT_TRUE(port.scrolls.empty());
    EXPECT_EQ(effect, DROPEFFECT_COPY | DROPEFFECT_SCROLL);  // scrolling or not
    port.tick += 1;
    scroll.Over(port, {5, 190}, effect);
    EXPECT_EQ(port.scrolls, (Steps{{-1, 1}}));
    // A check away from the edges scrolls nothing but still starts the next interval.
    port.tick += 200;
    scroll.Over(port, {150, 100}, effect);
    port.tick += 50;
    scroll.Over(port, {150, 5}, effect);
    EXPECT_EQ(port.scrolls.size(), 1u);
    port.tick += 51;
    scroll.Over(port, {150, 5}, effect);
    EXPECT_EQ(port.scrolls, (Steps{{-1, 1}, {0, -1}}));
}

TEST(DragAutoScroll, ClockThatWrapsStillCountsForward)
{
    ql::test::FakeShellDragPort port;
    port.tick = 0xFFFFFFF0u;
    TDragAutoScroll scroll;
    DWORD effect = DROPEFFECT_NONE;
    scroll.Start(port);
    port.tick = 0x10;  // 32 ms later
    scroll.Over(port, {5, 100}, effect);
    EXPECT_TRUE(port.scrolls.empty());
    port.tick = 0x70;  // 128 ms after the start
    scroll.Over(port, {5, 100}, effect);
    EXPECT_EQ(port.scrolls, (Steps{{-1, 0}}));
}

}  // namespace
