#pragma once
// The headless half of the Options dialog (TSetForm_wx.h): its controls and the settings they show
// and store.
#include <array>

namespace ql {

struct TSettings;

// Radio groups hold the chosen item's index; check boxes their state.
struct OptionsControls {
    int RG1 = 0;                // "Extracted Content Format": 0 "Html", 1 "Pure Text"
    int RG3 = 1;                // "Saved Html Format": 0 "Original Format", 1 "Unicode Format" (hidden)
    int RG4 = 0;                // "After Dragging": 0 "Hide main window", 1 "Bring main window to top"
    bool check1 = true;         // "Save images"
    bool check2 = true;         // "Monitor current file's changed"
    bool Check3 = true;         // "Show Editor Window while startup"
    bool check4 = true;         // "Auto change text to html format"
    bool check5 = true;         // "Use Div On Carriage Return"
    bool check6 = true;         // "Clean up disorderly code"
    bool check7 = true;         // "Set to Unicode mode"
    bool CheckDragZone = true;  // "Show DragZone while startup"
    bool operator==(const OptionsControls&) const = default;
};

// FormShow: every control takes its setting.
OptionsControls ShowOptions(const TSettings& settings);
// OK: every setting of the table takes its control's value; nothing else changes.
void StoreOptions(const OptionsControls& controls, TSettings& settings);

}  // namespace ql
