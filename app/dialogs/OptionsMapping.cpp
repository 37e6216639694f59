#include "app/dialogs/OptionsMapping.h"

#include "foundation/VekCollectClass.h"

namespace ql {

OptionsControls ShowOptions(const TSettings& s)
{
    OptionsControls c;
    c.RG1 = s.DragUseHtml ? 0 : 1;
    c.RG3 = s.DragUseUnicode ? 1 : 0;
    c.RG4 = s.DragHideAfterSave ? 0 : 1;
    c.check1 = s.DragIncludeImage;
    c.check2 = s.MonitorFileChange;
    c.Check3 = s.ShowMainForm;
    c.check4 = s.AutoChangeTxtToHtml;
    c.check5 = s.UseDiv;
    c.check6 = s.AutoCleanUp;
    c.check7 = s.AutoUnicode;
    c.CheckDragZone = s.showDragForm;
    return c;
}

void StoreOptions(const OptionsControls& c, TSettings& s)
{
    s.DragUseHtml = c.RG1 == 0;
    s.DragUseUnicode = c.RG3 == 1;
    s.DragHideAfterSave = c.RG4 == 0;
    s.DragIncludeImage = c.check1;
    s.MonitorFileChange = c.check2;
    s.ShowMainForm = c.Check3;
    s.AutoChangeTxtToHtml = c.check4;
    s.UseDiv = c.check5;
    s.AutoCleanUp = c.check6;
    s.AutoUnicode = c.check7;
    s.showDragForm = c.CheckDragZone;
}

}  // namespace ql
