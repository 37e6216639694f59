#include "app/dialogs/TSetForm.h"

#include "foundation/VekCollectClass.h"

#include <utility>

namespace ql {

namespace {

// Each check box with the setting it shows and stores.
constexpr std::pair<bool OptionsControls::*, bool TSettings::*> kChecks[] = {
    {&OptionsControls::check1, &TSettings::DragIncludeImage},
    {&OptionsControls::check2, &TSettings::MonitorFileChange},
    {&OptionsControls::Check3, &TSettings::ShowMainForm},
    {&OptionsControls::check4, &TSettings::AutoChangeTxtToHtml},
    {&OptionsControls::check5, &TSettings::UseDiv},
    {&OptionsControls::check6, &TSettings::AutoCleanUp},
    {&OptionsControls::check7, &TSettings::AutoUnicode},
    {&OptionsControls::CheckDragZone, &TSettings::showDragForm},
};

// Each two-item radio group with its setting and the item that means the setting is on.
struct RadioSetting {
    int OptionsControls::*group;
    bool TSettings::*setting;
    int onItem;
};
constexpr RadioSetting kRadios[] = {
    {&OptionsControls::RG1, &TSettings::DragUseHtml, 0},
    {&OptionsControls::RG3, &TSettings::DragUseUnicode, 1},
    {&OptionsControls::RG4, &TSettings::DragHideAfterSave, 0},
};

}  // namespace

OptionsControls ShowOptions(const TSettings& s)
{
    OptionsControls c;
    for (const auto& r : kRadios)
        c.*r.group = s.*r.setting ? r.onItem : 1 - r.onItem;
    for (const auto& [control, setting] : kChecks)
        c.*control = s.*setting;
    return c;
}

void StoreOptions(const OptionsControls& c, TSettings& s)
{
    for (const auto& r : kRadios)
        s.*r.setting = c.*r.group == r.onItem;
    for (const auto& [control, setting] : kChecks)
        s.*setting = c.*control;
}

}  // namespace ql
