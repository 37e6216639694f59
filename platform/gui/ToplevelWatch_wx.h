#pragma once
// The program's top-level windows as the toolkit shows, activates and hides them: the
// program's own wx windows and the toolkit's dialogs that the web engine opens (print, page
// setup, file choosers) alike; and the windows of other programs that the window manager makes
// the active one. Also what a window is: a dialog box, one of the program's own.
typedef struct _GtkWindow GtkWindow;
class wxTopLevelWindow;

#include <functional>

namespace ql::web {

// A window on the desktop: one of the program's own, or another program's.
struct DesktopWindow {
    GtkWindow* own = nullptr;  // the toolkit's window; nullptr for another program's
    unsigned long xid = 0;     // its X window
};
// The program's own window as a desktop window.
DesktopWindow DesktopWindowOf(GtkWindow* window);

class ToplevelWatch {
public:
    ToplevelWatch();
    ~ToplevelWatch();
    ToplevelWatch(const ToplevelWatch&) = delete;
    ToplevelWatch& operator=(const ToplevelWatch&) = delete;

    // Each runs on the GUI thread inside the toolkit's signal, so it must not block.
    std::function<void(GtkWindow*)> OnActivated;  // took the keyboard focus of the desktop
    std::function<void(GtkWindow*)> OnShown;
    std::function<void(GtkWindow*)> OnHidden;  // also when it is destroyed while shown
    // The window manager made a window of another program the active one (its X window).
    std::function<void(unsigned long window)> OnOtherProgramActivated;
};

// A dialog box: the window says it is one (the toolkit's dialogs and the program's own do).
bool IsDialogWindow(GtkWindow* window);
// The program's wx window that is `window`; nullptr for one the toolkit or the engine made by
// itself.
wxTopLevelWindow* ProgramWindow(GtkWindow* window);
bool IsModalWindow(GtkWindow* window);

}  // namespace ql::web
