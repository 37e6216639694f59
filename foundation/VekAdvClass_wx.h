#pragma once
// The window side of VekAdvClass: placement of top-level windows, the shared find dialog of
// the text controls, registration with wx message boxes, and the synthetic Ctrl+C.
#include "foundation/VekAdvClass.h"

#include <functional>
#include <string>

class wxFindReplaceDialog;
class wxTextCtrl;
class wxTopLevelWindow;

namespace ql {

// Places `form` from `key` under HKEY_CURRENT_USER (see ReadFormPlacement); with `seed`, first
// gives it the seeded bounds on the primary display. The bounds are kept on a visible display,
// and from now on the form's normal bounds are followed for SaveFormPlacement. `placed`, when
// given, runs once the form is framed and has its last size (maximised where stored so) and has
// laid itself out at it; after a while all the same when the window manager keeps it from it.
void LoadFormPlacement(const std::string& key, wxTopLevelWindow* form, bool seed, std::function<void()> placed = {});
// Stores "Max" and the form's normal bounds (also while it is maximised). False when the
// registry could not be written.
[[nodiscard]] bool SaveFormPlacement(const std::string& key, wxTopLevelWindow* form);

// Runs `action` once the window manager has framed `form`, at once when it has (or when no
// manager frames windows). Until then bounds set on the form are taken for the window without
// its frame, and a position for one the manager may replace with its own. Nothing runs when
// the form goes first.
void WhenFramed(wxTopLevelWindow* form, std::function<void()> action);
// Centres `form` on its display: now, for the frame wx expects, and again once it is framed.
void CentreOnScreenFramed(wxTopLevelWindow* form);

// RegisterComServer with wx message boxes.
bool RegisterComServer(const std::string& fileName, bool reg, bool showMessages);

// Shows the one find dialog of the process (made on first use, owned by the edit's parent,
// always searching forward) for `edit`, which becomes FindTarget().
void ShowRichEditFind(wxTextCtrl* edit);
wxFindReplaceDialog* RichEditFindDialog();  // null before the first use
wxTextCtrl* FindTarget();

// Ctrl+C to whatever window has the keyboard focus: Control down, C down, C up, Control up.
void SendCtrlC();

}  // namespace ql
