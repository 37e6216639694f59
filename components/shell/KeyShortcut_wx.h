#pragma once
// A key event as the shell controls' shortcut table counts keys: the virtual-key code with
// the Shift, Ctrl and Alt bits.
#include <wx/event.h>

#include "components/shell/CommandShortcuts.h"

namespace ql::shellctl {

// The virtual-key code of letters, digits, function keys, Delete, Insert, Backspace, Enter and
// the Applications (menu) key;
// 0 for other keys.
int VirtualKeyOf(const wxKeyEvent& event);
// That code with the modifier bits; 0 for other keys.
TShortCut ShortCutOf(const wxKeyEvent& event);

}  // namespace ql::shellctl
