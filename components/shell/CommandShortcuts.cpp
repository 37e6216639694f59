#include "components/shell/CommandShortcuts.h"

#include <strings.h>

namespace ql::shellctl {

namespace {

std::string KeyName(TShortCut code)
{
    unsigned key = code & 0xFF;
    switch (key) {
    case 0x08:
        return "BkSp";
    case 0x09:
        return "Tab";
    case 0x0D:
        return "Enter";
    case 0x1B:
        return "Esc";
    case 0x2D:
        return "Ins";
    case 0x2E:
        return "Del";
    default:
        break;
    }
    static const char* const kNav[] = {"Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right", "Down"};
    if (key >= 0x20 && key <= 0x28)
        return kNav[key - 0x20];
    if ((key >= 0x30 && key <= 0x39) || (key >= 0x41 && key <= 0x5A))
        return std::string(1, static_cast<char>(key));
    if (key >= 0x60 && key <= 0x69)
        return std::string(1, static_cast<char>(key - 0x30));
    if (key >= 0x70 && key <= 0x87)
        return "F" + std::to_string(key - 0x6F);
    return "#" + std::to_string(code);
}

bool StartsWithNoCase(const std::string& text, std::size_t at, const char* prefix)
{
    std::size_t n = std::char_traits<char>::length(prefix);
    return text.size() - at >= n && strncasecmp(text.c_str() + at, prefix, n) == 0;
}

int parseCount = 0;
bool parsed = false;

}  // namespace

std::string ShortCutToText(TShortCut code)
{
    std::string text;
    if (code & scShift)
        text += "Shift+";
    if (code & scCtrl)
        text += "Ctrl+";
    if (code & scAlt)
        text += "Alt+";
    return text + KeyName(code);
}

TShortCut TextToShortCut(const std::string& text)
{
    TShortCut modifiers = 0;
    std::size_t at = 0;
    for (;;) {
        if (StartsWithNoCase(text, at, "Shift+")) {
            modifiers |= scShift;
            at += 6;
        } else if (StartsWithNoCase(text, at, "^")) {
            modifiers |= scCtrl;
            at += 1;
        } else if (StartsWithNoCase(text, at, "Ctrl+")) {
            modifiers |= scCtrl;
            at += 5;
        } else if (StartsWithNoCase(text, at, "Alt+")) {
            modifiers |= scAlt;
            at += 4;
        } else {
            break;
        }
    }
    std::string rest = text.substr(at);
    if (rest.empty())
        return 0;
    // The codes past 255 carry modifier bits of their own; the range is the one the key texts
    // have always been matched against.
    for (unsigned code = 8; code <= 597; ++code)
        if (strcasecmp(rest.c_str(), ShortCutToText(static_cast<TShortCut>(code)).c_str()) == 0)
            return static_cast<TShortCut>(code | modifiers);
    return 0;
}

std::array<CommandShortcut, 7>& CommandShortcuts()
{
    static std::array<CommandShortcut, 7> table{{
        {ShellCommand::SelectAll, ShConst::SShortcutSelectAll, {}, 0},
        {ShellCommand::Delete, ShConst::SShortcutDelete, {}, 0},
        {ShellCommand::Copy, ShConst::SShortcutCopy, {}, 0},
        {ShellCommand::Cut, ShConst::SShortcutCut, {}, 0},
        {ShellCommand::Paste, ShConst::SShortcutPaste, {}, 0},
        {ShellCommand::Refresh, ShConst::SShortcutRefresh, {}, 0},
        {ShellCommand::Rename, ShConst::SShortcutRename, {}, 0},
    }};
    return table;
}

void LoadCommandShortcutTexts()
{
    for (auto& entry : CommandShortcuts())
        entry.keyText = LoadShConst(entry.text);
}

void EnsureCommandShortcuts()
{
    if (parsed)
        return;
    for (auto& entry : CommandShortcuts())
        entry.code = TextToShortCut(entry.keyText);
    parsed = true;
    ++parseCount;
}

int CommandShortcutParseCount() { return parseCount; }

}  // namespace ql::shellctl
