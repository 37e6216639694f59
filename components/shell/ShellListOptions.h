#pragma once
// The shell list's options (a 16-bit set) and what a change of them has to do.
#include <cstdint>

namespace ql::shellctl {

enum TSvShellListOption : std::uint16_t {
    svsloAutoFill = 0x0001,
    svsloNonFilesystemAncestors = 0x0002,
    svsloDesignInteractive = 0x0004,
    svsloDefaultKeyHandling = 0x0008,
    svsloContextMenus = 0x0010,
    svsloDontChangeFolder = 0x0020,
    svsloDontGoBelowBase = 0x0040,
    svsloDynamicRefresh = 0x0080,
    svsloHideFoldersWhenLinkedToTree = 0x0100,
    svsloOleDrag = 0x0200,
    svsloOleDrop = 0x0400,
    svsloFolderContextMenu = 0x0800,
    svsloShowHidden = 0x1000,
};
using TSvShellListOptions = std::uint16_t;
inline constexpr TSvShellListOptions kDefaultShellListOptions = 0x1E9B;

// The work a new option set asks of a list whose window exists.
struct ShellListOptionActions {
    bool registerDrop = false;  // become a drop target
    bool revokeDrop = false;
    bool startWatching = false;
    bool stopWatching = false;
    bool refresh = false;
};
ShellListOptionActions OptionChangeActions(TSvShellListOptions before, TSvShellListOptions after);

}  // namespace ql::shellctl
