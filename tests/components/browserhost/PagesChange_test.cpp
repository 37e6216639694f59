#include "components/browserhost/PagesChange.h"

#include <string>

#include <gtest/gtest.h>

using namespace ql;

namespace {
struct Recorder {
    std::string log;
    bool allowTab = true, allowChange = true;
    int askedTab = -1;
    TabChangeSteps Steps()
    {
        TabChangeSteps s;
        s.canChangeToTab = [this](int tab) {
            askedTab = tab;
            log += "tab;";
            return allowTab;
        };
        s.canChange = [this] {
            log += "changing;";
            return allowChange;
        };
        s.activate = [this](int tab) { log += "activate " + std::to_string(tab) + ";"; };
        s.changed = [this] { log += "change;"; };
        return s;
    }
};
}  // namespace

TEST(RequestTabChange, ARefusingTabVetoStopsTheChainBeforeOnChanging)
{
    Recorder r;
    r.allowTab = false;
    EXPECT_FALSE(RequestTabChange(0, 2, 3, r.Steps()));
    EXPECT_EQ(r.log, "tab;");
    EXPECT_EQ(r.askedTab, 2);
}

TEST(RequestTabChange, TheGeneralCheckMayStillRefuse)
{
    Recorder r;
    r.allowChange = false;
    EXPECT_FALSE(RequestTabChange(0, 1, 3, r.Steps()));
    EXPECT_EQ(r.log, "tab;changing;");
}

TEST(RequestTabChange, BothAllowingSwitchesThenReports)
{
    Recorder r;
    EXPECT_TRUE(RequestTabChange(2, 0, 3, r.Steps()));
    EXPECT_EQ(r.log, "tab;changing;activate 0;change;");
    EXPECT_EQ(r.askedTab, 0);
}

TEST(RequestTabChange, NothingIsAskedForTheCurrentOrAMissingTab)
{
    Recorder r;
    EXPECT_FALSE(RequestTabChange(1, 1, 3, r.Steps()));
    EXPECT_FALSE(RequestTabChange(1, -1, 3, r.Steps()));
    EXPECT_FALSE(RequestTabChange(1, 3, 3, r.Steps()));
    EXPECT_EQ(r.log, "");
    // Without any handlers the change simply happens.
    EXPECT_TRUE(RequestTabChange(-1, 0, 1, TabChangeSteps{}));
}

TEST(TabForKey, ArrowsStopAtTheEndsAndControlKeysWrap)
{
    EXPECT_EQ(TabForKey(TabKey::Next, 1, 3), 2);
    EXPECT_EQ(TabForKey(TabKey::Next, 2, 3), -1);
    EXPECT_EQ(TabForKey(TabKey::Previous, 0, 3), -1);
    EXPECT_EQ(TabForKey(TabKey::NextWrap, 2, 3), 0);
    EXPECT_EQ(TabForKey(TabKey::PreviousWrap, 0, 3), 2);
    EXPECT_EQ(TabForKey(TabKey::PreviousWrap, 2, 3), 1);
    // The active page's tab is hidden: forward keys start at the first tab, backward at the last.
    EXPECT_EQ(TabForKey(TabKey::NextWrap, -1, 3), 0);
    EXPECT_EQ(TabForKey(TabKey::Previous, -1, 3), 2);
    EXPECT_EQ(TabForKey(TabKey::NextWrap, -1, 0), -1);
}
