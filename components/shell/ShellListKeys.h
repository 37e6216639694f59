#pragma once
// What a key does in the shell list: the seven command keys of the shared shortcut table, and
// Backspace and Enter.
#include "components/shell/CommandShortcuts.h"

namespace ql::shellctl {

enum class ListKeyAction { None, SelectAll, Refill, Copy, Cut, Paste, Rename, Delete };

// The command of a key with its shift state (a shortcut code). Shift+Del is a delete too (the
// delete command reads Shift itself); Ctrl+Del is not.
ListKeyAction ListKeyDispatch(TShortCut shortcut);

enum class ListCharAction { None, FolderUp, OpenSelection };
inline constexpr int kKeyBack = 8;
inline constexpr int kKeyReturn = 13;
ListCharAction ListCharDispatch(int character);

}  // namespace ql::shellctl
