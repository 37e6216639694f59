#pragma once
// The program's deferred work, by its codes.
namespace ql {

// The drop zone's action timer is armed with one of these, an interval and a tick count: by the
// zone itself, and by the editor through its window port (the copy of a selection dragged over
// it, the clipboard road's copy and paste).
enum class ZoneAction : int {
    None = 0,
    ShowEditor = 1000,    // show the editor window
    CopyAndPaste = 2000,  // Ctrl+C to the source program, then paste the clipboard into a new page
    SaveHomepage = 5000,  // the "Save homepage" dialog for the last hand-over
    CopyOnly = 6000,      // Ctrl+C to the source program
};

inline constexpr int kActionIntervalMs = 100;

// What the HTML editing control's next document completion does (the control's Tag). A paste
// comes after the zone's CopyAndPaste, which is why both carry the same number.
enum class DocumentWork : int {
    None = 0,
    PasteThenLocalize = 2000,  // paste the clipboard into the new document, then keep its pictures
    Localize = 4000,           // keep the pictures of the loaded document
};

}  // namespace ql
