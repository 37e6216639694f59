#include "app/dialogs/TSetForm.h"
#include "foundation/VekCollectClass.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(OptionsMapping, RadioGroupsShowTheirSettingsTheWayEachGroupIsOrdered)
{
    TSettings s;
    s.DragUseHtml = true;        // item 0 "Html"
    s.DragUseUnicode = true;     // item 1 "Unicode Format"
    s.DragHideAfterSave = true;  // item 0 "Hide main window"
    OptionsControls c = ShowOptions(s);
    EXPECT_EQ(c.RG1, 0);
    EXPECT_EQ(c.RG3, 1);
    EXPECT_EQ(c.RG4, 0);
    s.DragUseHtml = s.DragUseUnicode = s.DragHideAfterSave = false;
    c = ShowOptions(s);
    EXPECT_EQ(c.RG1, 1);
    EXPECT_EQ(c.RG3, 0);
    EXPECT_EQ(c.RG4, 1);
}

TEST(OptionsMapping, EverySettingRoundTripsAloneAndOkWithoutChangesKeepsThemAll)
{
    bool TSettings::*fields[] = {&TSettings::DragUseHtml,         &TSettings::DragUseUnicode,
                                 &TSettings::DragHideAfterSave,   &TSettings::DragIncludeImage,
                                 &TSettings::MonitorFileChange,   &TSettings::ShowMainForm,
                                 &TSettings::AutoChangeTxtToHtml, &TSettings::UseDiv,
                                 &TSettings::AutoCleanUp,         &TSettings::AutoUnicode,
                                 &TSettings::showDragForm};
    for (bool base : {false, true}) {
        for (auto field : fields) {
            TSettings s;
            for (auto f : fields)
                s.*f = base;
            s.*field = !base;
            s.DragZoneTop = 77;  // not an option: untouched
            TSettings stored;
            stored.DragZoneTop = 77;
            for (auto f : fields)
                stored.*f = !(s.*f);
            StoreOptions(ShowOptions(s), stored);
            for (auto f : fields)
                EXPECT_EQ(stored.*f, s.*f);
            EXPECT_EQ(stored.DragZoneTop, 77);
        }
    }
}

TEST(OptionsMapping, ChosenItemsStoreExactlyTheirMeaning)
{
    TSettings s;
    OptionsControls c;
    c.RG1 = 1;
    c.RG3 = 0;
    c.RG4 = 1;
    c.CheckDragZone = false;
    StoreOptions(c, s);
    EXPECT_FALSE(s.DragUseHtml);
    EXPECT_FALSE(s.DragUseUnicode);
    EXPECT_FALSE(s.DragHideAfterSave);
    EXPECT_FALSE(s.showDragForm);
    c.RG1 = 0;
    c.RG3 = 1;
    c.RG4 = 0;
    StoreOptions(c, s);
    EXPECT_TRUE(s.DragUseHtml);
    EXPECT_TRUE(s.DragUseUnicode);
    EXPECT_TRUE(s.DragHideAfterSave);
}

}  // namespace
}  // namespace ql
