#pragma once
// What the shell tree and the shell list share about items: errors, the list's column texts,
// display names, context menus and their verbs, the items' shell objects, drop effects and
// the Send To entries.
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "components/shell/ShellUtils.h"
#include "platform/core/com/DragDrop.h"
#include "platform/core/shell/PopupMenu.h"

namespace ql::shellctl {

// Identifiers of the shell's commands in the controls' menus start here; 1 to 49 are the
// controls' own.
inline constexpr unsigned kFirstShellCommand = 50;
inline constexpr unsigned kLastShellCommand = 0x7FFF;

// Raises EShellError with the system's text for a result.
[[noreturn]] void RaiseSystemError(HRESULT code);
// False for a drive root: the file-system root, a mount point, or no path.
bool IsBeyondDriveRoot(const std::string& path);

// Column texts. Sizes are kilobytes rounded up, grouped with the locale's thousands separator
// (the overload takes the separator, for tests) and put into "%sKB".
std::string FormatFileSize(std::uint64_t bytes);
std::string FormatFileSize(std::uint64_t bytes, const std::string& thousandsSeparator);
// "short date, one space, hours:minutes" in the local time of the user's locale.
std::string FormatModifiedTime(std::time_t when);
void GetSizeAndModifiedText(const ItemIdList* absolute, std::string& size, std::string& modified);
void GetTypeNameText(const ItemIdList* absolute, ULONG attributes, std::string& type);
void GetItemColumnTexts(const ItemIdList* absolute, ULONG attributes, std::string& size, std::string& modified,
                        std::string& type);

std::string GetFolderDisplayName(IShellFolder* folder, const ItemIdList& relative, com::DWORD flags);

// The items' context menu filled into `menu` with identifiers from `firstId`. The menu object
// is nil on failure.
HRESULT CreateItemContextMenu(IShellFolder* folder, shell::ItemSpan items, ComPtr<shell::IContextMenu>& contextMenu,
                              shell::PopupMenu& menu, unsigned firstId, unsigned flags);
// The offset of the command that bears `verb`, or -1.
int FindVerbCommand(shell::IContextMenu* menu, const std::string& verb);
// Runs a command offset or a verb; a verb no command bears runs nothing (S_FALSE).
HRESULT InvokeContextMenuVerb(shell::IContextMenu* menu, const std::variant<unsigned, std::string>& verb);

// An absolute list split into its parent folder and last item; the desktop stands for the
// desktop folder on disk.
HRESULT SplitIdList(const ItemIdList* absolute, ComPtr<IShellFolder>& folder, IdListPtr& parent, IdListPtr& last);
HRESULT GetUIObjectOfIdList(const ItemIdList* absolute, const com::IID& iid, void** object);
HRESULT GetDesktopDropTarget(ComPtr<com::IDropTarget>& target);
void SplitDesktopDirectoryIdList(IdListPtr& parent, IdListPtr& last);

// The effects every dragged shell item allows: copy, move and link unless the data names shell
// items, then what all of them allow; none when those items cannot be asked.
com::DWORD AllowedDropEffects(com::IDataObject* data);
// A drop handed on to a shell item's or folder's own drop target, as the list and the tree do:
// the buttons held at drag-enter join the key state, the target sees the drag enter and pass
// over (with a scratch effect), and the effect is cut to what the dragged items allow before
// the target's Drop, whose result this is.
com::HRESULT DropOnShellTarget(com::IDropTarget& target, com::IDataObject* data, com::DWORD keyState,
                               com::DWORD enteredKeyState, com::POINTL pt, com::DWORD* effect);

// The overlay an item's icon carries: 0 the shared-folder mark, 1 the link arrow, -1 none.
int OverlayOf(ULONG attributes);

// The Send To entries: the files (not folders, not hidden) of a folder matching a pattern, each
// with its small icon's index (from `iconIndexOf`, -1 when it has none), sorted by caption
// without regard to case. A desktop file counts only when it is an application's, and its
// caption is the application's name; any other file's caption is its name without extension.
// A file name already listed (from an earlier folder) is not added again. The menu shows the
// entry's picture by its icon names: an application's own icon first, then its file's.
struct SendToEntry {
    std::string name;  // the file name
    int iconIndex = -1;
    std::string path;     // the file itself
    std::string caption;  // as the menu shows it
    std::vector<std::string> iconNames;
    std::string Caption() const;
};
void FillSendToList(const std::string& folderPath, const std::vector<std::string>& patterns,
                    const std::function<int(const std::string& path)>& iconIndexOf, std::vector<SendToEntry>& list);
std::vector<SendToEntry>& SendToList();  // shared by every control; entries are never removed
// The entries of every Send To folder (shell::SendToFolders), added to SendToList().
void FillSendToListFromFolders();
// Puts the entries into the shell's "Send To" submenu of a context menu: its placeholder (the
// only item, grayed) gives way to one item per entry, identifiers 1, 2, 3 ... (at most 49); with
// no entries the placeholder stays.
void FillSendToSubmenu(shell::PopupMenu& menu);

// Hands the data object to a Send To entry's drop target as a copy; raises EShellError when
// the entry or its drop target cannot be had.
void SendToItem(const SendToEntry& entry, com::IDataObject* data);

// Runs `track` (the menu's modal loop) while `active` names the menu, so that the menu's
// messages find it; cleared again however the loop ends.
template <class Track>
int TrackWhileActive(ComPtr<shell::IContextMenu>& active, const ComPtr<shell::IContextMenu>& menu, Track&& track)
{
    struct Clear {
        ComPtr<shell::IContextMenu>& menu;
        ~Clear() { menu.reset(); }
    } clear{active};
    active = menu;
    return track();
}

// The hint for a highlighted menu item: the shell's help text for its commands (identifiers
// from 50 that are no submenu or system-menu item), else "".
std::string MenuSelectHint(shell::IContextMenu* menu, int id, bool popupOrSystemItem);

// How one wheel notch scrolls bar 0 (horizontal) or 1 (vertical): by a page when the wheel
// setting asks for pages (-1), else by lines: one on the horizontal bar, the setting's count
// (its low 8 bits) on the vertical one.
struct WheelScroll {
    bool byPage = false;
    int steps = 0;
};
WheelScroll WheelScrollOf(int bar, int wheelScrollLines);
// One turn of the wheel as the toolkit reports it: `rotation` (negative: towards the user) in
// notches of `delta`, the page-scroll mode and the lines per notch. Every whole notch scrolls
// as WheelScrollOf says.
struct WheelTurn {
    bool down = false;
    bool byPage = false;
    int steps = 0;
};
WheelTurn WheelTurnOf(int bar, int rotation, int delta, bool pageScroll, int linesPerAction);

// A typed character in the Send To submenu: the entry to go to, searched after the highlighted
// one and then from the top by first character without case; it is only selected when several
// entries begin so, and chosen when it is the only one.
inline constexpr int MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3;
struct MenuCharResult {
    int action = MNC_CLOSE;
    int position = 0;
};
MenuCharResult SendToMenuChar(const std::vector<SendToEntry>& list, int highlighted, char32_t typed);

}  // namespace ql::shellctl
