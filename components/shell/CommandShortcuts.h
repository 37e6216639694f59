#pragma once
// Shortcut codes (virtual key in the low byte; Shift 0x2000, Ctrl 0x4000, Alt 0x8000) and their
// texts, and the seven editing commands of the shell tree and list with their keys.
#include <array>
#include <cstdint>
#include <string>

#include "components/shell/ShConsts.h"

namespace ql::shellctl {

using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

std::string ShortCutToText(TShortCut code);
TShortCut TextToShortCut(const std::string& text);  // 0 when the text names no key

enum class ShellCommand { SelectAll, Delete, Copy, Cut, Paste, Refresh, Rename };

struct CommandShortcut {
    ShellCommand command;
    ShConst text;         // where the key text comes from
    std::string keyText;  // set at start-up
    TShortCut code = 0;   // parsed on first use; 0 = no key
};

// The table in its fixed order (entries 0 to 6).
std::array<CommandShortcut, 7>& CommandShortcuts();
// Fills the key texts from the resource strings (unit start-up).
void LoadCommandShortcutTexts();
// Parses the key texts once; later calls do nothing.
void EnsureCommandShortcuts();
// How many times the table has been parsed (0 or 1).
int CommandShortcutParseCount();

}  // namespace ql::shellctl
