#pragma once
// The deferred actions of the drop zone: codes that other parts arm the zone's action timer with.
namespace ql {

enum class ZoneAction : int {
    None = 0,
    ShowEditor = 1000,    // show the editor window
    CopyAndPaste = 2000,  // Ctrl+C to the source program, then paste the clipboard into a new page
    SaveHomepage = 5000,  // the "Save homepage" dialog for the last hand-over
    CopyOnly = 6000,      // Ctrl+C to the source program
};

inline constexpr int kActionIntervalMs = 100;

}  // namespace ql
