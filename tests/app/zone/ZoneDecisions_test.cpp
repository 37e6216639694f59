// Start-up decisions, placement, moving by the picture, the action scheduler and targeting.
#include "app/zone/ActionScheduler.h"
#include "app/zone/StartupPlan.h"
#include "app/zone/ZoneGeometry.h"
#include "app/zone/ZoneTargeting.h"
#include "tests/app/zone/FakeZone.h"

#include <gtest/gtest.h>

#include <set>

namespace ql {
namespace {

auto existing(std::set<std::string> files)
{
    return [files](const std::string& f) { return files.count(f) > 0; };
}

TEST(PlanStartup, ForceHideInExactCaseOnlyKeepsTheEditorHidden)
{
    EXPECT_EQ(PlanStartup({}, true, existing({})).action, ZoneAction::ShowEditor);
    EXPECT_EQ(PlanStartup({}, false, existing({})).action, ZoneAction::None);
    EXPECT_EQ(PlanStartup({"forcehide"}, true, existing({"forcehide"})).action, ZoneAction::None);
    EXPECT_FALSE(PlanStartup({"forcehide"}, true, existing({"forcehide"})).handOver);
    EXPECT_EQ(PlanStartup({"ForceHide"}, true, existing({})).action, ZoneAction::ShowEditor);
    EXPECT_EQ(PlanStartup({"FORCEHIDE"}, true, existing({})).action, ZoneAction::ShowEditor);
}

TEST(PlanStartup, AFileArgumentSchedulesTheDialogInsteadOfTheEditorAndAMissingOneNothing)
{
    StartupPlan plan = PlanStartup({"/c/clip.html", "http://x/", "T"}, true, existing({"/c/clip.html"}));
    EXPECT_EQ(plan.action, ZoneAction::SaveHomepage);
    ASSERT_TRUE(plan.handOver);
    EXPECT_EQ(plan.handOver->File, "/c/clip.html");
    EXPECT_EQ(plan.handOver->Url, "http://x/");
    EXPECT_EQ(plan.handOver->Title, "T");

    StartupPlan one = PlanStartup({"/c/clip.html"}, false, existing({"/c/clip.html"}));
    ASSERT_TRUE(one.handOver);
    EXPECT_EQ(one.handOver->Url, "");
    EXPECT_EQ(one.handOver->Title, "");

    StartupPlan missing = PlanStartup({"/c/none.html", "u", "t"}, true, existing({}));
    EXPECT_FALSE(missing.handOver);
    EXPECT_EQ(missing.action, ZoneAction::ShowEditor);
}

TEST(ZoneVisibility, WithoutANotificationAreaTheZoneStaysVisible)
{
    EXPECT_TRUE(ZoneShouldBeVisible(true, true));
    EXPECT_FALSE(ZoneShouldBeVisible(false, true));
    EXPECT_TRUE(ZoneShouldBeVisible(false, false));
}

TEST(PlaceZone, KeepsASavedPositionInsideTheScreenElseTheDefaults)
{
    const ZoneSize zone{38, 34}, screen{1600, 1200};
    EXPECT_EQ(PlaceZone(500, 300, zone, screen), (ZonePoint{500, 300}));
    EXPECT_EQ(PlaceZone(0, 0, zone, screen), (ZonePoint{1200, 10}));
    EXPECT_EQ(PlaceZone(-5, -5, zone, screen), (ZonePoint{1200, 10}));
    EXPECT_EQ(PlaceZone(1600 - 38, 1200 - 34, zone, screen), (ZonePoint{1200, 10}));
    EXPECT_EQ(PlaceZone(1600 - 39, 1200 - 35, zone, screen), (ZonePoint{1561, 1165}));
    EXPECT_EQ(PlaceZone(0, 0, zone, ZoneSize{1366, 768}), (ZonePoint{1024, 10}));
}

TEST(KeepExpandedZoneOnScreen, MovesInsideByOnePixelMoreThanNeeded)
{
    const ZoneSize panel{213, 720}, screen{1600, 1200};
    EXPECT_EQ(KeepExpandedZoneOnScreen({100, 100}, panel, screen), (ZonePoint{100, 100}));
    EXPECT_EQ(KeepExpandedZoneOnScreen({1387, 480}, panel, screen), (ZonePoint{1387, 480}));  // exactly fits
    EXPECT_EQ(KeepExpandedZoneOnScreen({1388, 481}, panel, screen), (ZonePoint{1386, 479}));
    EXPECT_EQ(KeepExpandedZoneOnScreen({1590, 1190}, panel, screen), (ZonePoint{1386, 479}));
}

TEST(ZoneMover, AClickWithoutMovementIsAClickAndAOnePixelMoveIsNot)
{
    ZoneMover m;
    EXPECT_FALSE(m.Move({5, 5}));
    m.Down({10, 10}, {510, 310});
    EXPECT_TRUE(m.Moving());
    EXPECT_TRUE(m.Up(true, false, {510, 310}));
    EXPECT_FALSE(m.Moving());

    m.Down({10, 10}, {510, 310});
    EXPECT_EQ(*m.Move({11, 10}), (ZonePoint{1, 0}));
    EXPECT_FALSE(m.Up(true, false, {511, 310}));

    m.Down({10, 10}, {510, 310});
    EXPECT_TRUE(m.Up(true, true, {530, 330}));  // a double click counts wherever it ends
    m.Down({10, 10}, {510, 310});
    EXPECT_FALSE(m.Up(false, false, {510, 310}));  // right button: the menu, not a click
}

TEST(ActionScheduler, RunsTheArmedCodeForItsTicksThenStopsAndResetsTheInterval)
{
    test::FakeActionTimer timer;
    ActionScheduler s(timer);
    std::vector<ZoneAction> ran;
    timer.onTick = [&] { ran.push_back(s.Tick()); };

    s.ScheduleAction(ZoneAction::ShowEditor, 100, 1);
    timer.Advance(99);
    EXPECT_TRUE(ran.empty());
    timer.Advance(1);
    EXPECT_EQ(ran, std::vector<ZoneAction>{ZoneAction::ShowEditor});
    EXPECT_FALSE(timer.running);

    ran.clear();
    s.ScheduleAction(ZoneAction::CopyOnly, 50, 3);
    timer.Advance(500);
    EXPECT_EQ(ran, (std::vector<ZoneAction>{ZoneAction::CopyOnly, ZoneAction::CopyOnly, ZoneAction::CopyOnly}));
    EXPECT_EQ(s.IntervalMs(), kActionIntervalMs);
}

TEST(ActionScheduler, ReArmingReplacesTheCodeAndKeepsARunningPeriodOfTheSameInterval)
{
    test::FakeActionTimer timer;
    ActionScheduler s(timer);
    std::vector<ZoneAction> ran;
    timer.onTick = [&] { ran.push_back(s.Tick()); };

    s.ScheduleAction(ZoneAction::SaveHomepage, 100, 1);
    timer.Advance(60);
    s.ScheduleAction(ZoneAction::CopyAndPaste, 100, 1);  // same interval: the period goes on
    EXPECT_EQ(timer.starts, 1);
    timer.Advance(40);
    EXPECT_EQ(ran, std::vector<ZoneAction>{ZoneAction::CopyAndPaste});

    ran.clear();
    s.ScheduleAction(ZoneAction::SaveHomepage, 100, 2);
    timer.Advance(60);
    s.ScheduleAction(ZoneAction::CopyOnly, 300, 1);  // another interval: a fresh period
    timer.Advance(299);
    EXPECT_TRUE(ran.empty());
    timer.Advance(1);
    EXPECT_EQ(ran, std::vector<ZoneAction>{ZoneAction::CopyOnly});
}

TEST(ZoneTargeting, IndentAndExpandButtonInsertBeforeBelowTheItemsAddsASibling)
{
    EXPECT_EQ(ZoneClipModeForHit(kHitOnLabel), Attach::LastChild);
    EXPECT_EQ(ZoneClipModeForHit(kHitOnIcon), Attach::LastChild);
    EXPECT_EQ(ZoneClipModeForHit(kHitOnLabel | kHitOnIndent), Attach::LastChild);
    EXPECT_EQ(ZoneClipModeForHit(kHitNowhere), Attach::LastSibling);
    EXPECT_EQ(ZoneClipModeForHit(kHitOnIndent), Attach::InsertBefore);
    EXPECT_EQ(ZoneClipModeForHit(kHitOnButton), Attach::InsertBefore);
    EXPECT_EQ(ZoneClipModeForHit(kHitOnButton | kHitOnIndent), Attach::InsertBefore);
    EXPECT_EQ(ZoneClipModeForHit(kHitOnRight), Attach::LastChild);
    // The editor's own tree reads the same places differently.
    EXPECT_EQ(EditorClipModeForHit(kHitOnIndent), Attach::LastSibling);
    EXPECT_EQ(ZoneTargetStatus(Attach::InsertBefore, "Notes"), "Insert to \"Notes\"");
    EXPECT_EQ(ZoneTargetStatus(Attach::LastChild, "Notes"), "Add ChildNode to \"Notes\"");
    EXPECT_EQ(ZoneTargetStatus(Attach::LastSibling, "Notes"), "Add SiblingNode to \"Notes\"");
}

}  // namespace
}  // namespace ql
