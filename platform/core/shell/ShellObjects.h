#pragma once
// The objects a folder hands out through GetUIObjectOf: the items' context menu, a folder's
// drop target and the items' data object.
#include <string>
#include <vector>

#include "platform/core/com/DragDrop.h"
#include "platform/core/shell/ShellFolder.h"

namespace ql::shell {

// Command offsets of our context menus (identifier = first identifier + offset), with their
// verbs. Rename keeps offset 18, the one the shell controls take over to edit a label.
struct ShellMenuCommand {
    unsigned offset;
    const char* verb;
    const char* caption;
    const char* help;
};
inline constexpr unsigned kCmdOpen = 0, kCmdCut = 1, kCmdCopy = 2, kCmdPaste = 3, kCmdDelete = 4, kCmdRename = 18;
// The "Send To" submenu follows Open; its placeholder (grayed, never chosen) keeps offset 19.
inline constexpr unsigned kCmdSendToPlaceholder = 19;
inline constexpr char kSendToCaption[] = "Se&nd To";
inline constexpr ShellMenuCommand kShellMenuCommands[] = {
    {kCmdOpen, "open", "&Open", "Opens the selected items."},
    {kCmdCut, "cut", "Cu&t", "Moves the selected items to the clipboard."},
    {kCmdCopy, "copy", "&Copy", "Copies the selected items to the clipboard."},
    {kCmdPaste, "paste", "&Paste", "Puts the items from the clipboard into this folder."},
    {kCmdDelete, "delete", "&Delete", "Moves the selected items to the trash."},
    {kCmdRename, "rename", "Rena&me", "Renames the selected item."},
};

struct MenuItemInfo {
    std::string path;
    bool folder = false;
    // False for the places standing for whole folders (Home, the file-system root, volumes):
    // they are never cut, deleted or renamed.
    bool removable = true;
};

// `items` are the file-system items the menu acts on (never empty).
com::ComPtr<IContextMenu2> MakeItemContextMenu(std::vector<MenuItemInfo> items);
// A drop target that copies, moves or links dropped files into `folderPath`.
com::ComPtr<com::IDropTarget> MakeFolderDropTarget(std::string folderPath);
// Whether the path names an application's desktop file (a ".desktop" file the desktop would
// start).
bool IsDesktopEntryFile(const std::string& path);
// A drop target that opens the dropped files with the application of a desktop file: its
// command line as argument lists, started through the services' launcher.
com::ComPtr<com::IDropTarget> MakeDesktopEntryDropTarget(std::string desktopFile);
// A data object offering the items as CF_HDROP and "Shell IDList Array".
com::ComPtr<com::IDataObject> MakeItemDataObject(const ItemIdList& folder, const std::vector<ItemIdList>& items,
                                                 const std::vector<std::string>& paths);
// The paths a data object names: its CF_HDROP, else its "Shell IDList Array".
std::vector<std::string> PathsOfDataObject(com::IDataObject* data);

// "Shell IDList Array", registered once.
std::uint32_t ShellIdListFormat();

}  // namespace ql::shell
