#pragma once
// The items of our namespace as the bytes of one item id, and the places they stand for.
//
// An item's data is: kind (1 byte), flags (1 byte), then the name's bytes. A file-system item
// carries its file name exactly as on disk (any bytes but "/" and NUL); a volume carries the
// absolute path of its mount point; Home, Computer and the file-system root carry none. The
// folder flag is kept in the id so that folders sort first and show as folders without a
// trip to the disk for every comparison; size, type and time are read from the disk when
// asked, since they change while the id lives on. Ids from elsewhere (streams, other
// processes) are validated before use: a name can never walk out of its folder.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/shell/ItemIdList.h"

namespace ql::shell {

enum class ItemKind : std::uint8_t { Home = 1, Computer = 2, FileSystemRoot = 3, Volume = 4, File = 5 };

inline constexpr std::uint8_t kItemFolderFlag = 0x01;

struct ShellItem {
    ItemKind kind = ItemKind::File;
    bool folder = false;
    std::string name;

    std::string Encode() const;
    // nullopt for unknown kinds, a name the kind does not allow, or a file name that could
    // leave its folder.
    static std::optional<ShellItem> Decode(std::string_view data);
};

// A file name an item may carry: not empty, not "." or "..", no "/" and no NUL.
bool IsValidFileName(std::string_view name);

// A place in the namespace: one of the two virtual folders or a file-system path.
struct Location {
    enum class Kind { Desktop, Computer, Path } kind = Kind::Desktop;
    std::string path;  // Kind::Path only; absolute, no trailing "/" except for "/" itself

    static Location Desktop() { return {}; }
    static Location Computer() { return {Kind::Computer, {}}; }
    static Location AtPath(std::string p) { return {Kind::Path, std::move(p)}; }
    bool IsPath() const { return kind == Kind::Path; }
};

// The place a child item of `parent` stands for; nullopt when it cannot be its child.
std::optional<Location> ChildLocation(const Location& parent, const ShellItem& item);
// Walks a list from `start`; nullopt when an item is malformed or out of place.
std::optional<Location> ResolveLocation(const Location& start, const ItemIdList& relative);
// "dir" + "/" + "name" without doubling the slash of "/".
std::string JoinPath(const std::string& dir, std::string_view name);

// The places of the desktop session (read from the environment on every call, so tests can
// point them at temporary folders): HOME, the XDG desktop and documents folders
// (user-dirs.dirs below XDG_CONFIG_HOME, else ~/Desktop and HOME).
std::string HomePath();
std::string DesktopDirectoryPath();
std::string DocumentsPath();
// The Send To folder of the program's own ($XDG_DATA_HOME/quillory/sendto), which the
// CSIDL_SENDTO location names, and every Send To folder the menus take entries from: that one
// first, then the file manager's ("Thunar/sendto" below $XDG_DATA_HOME and below each of
// $XDG_DATA_DIRS), in that order. Entries are desktop files.
std::string SendToPath();
std::vector<std::string> SendToFolders();
// The value of one XDG_*_DIR key in the text of a user-dirs.dirs file ("$HOME/" expanded);
// "" when missing or not absolute.
std::string UserDirFromText(std::string_view text, std::string_view key, const std::string& home);

// Mount points of removable and mounted volumes (under /media, /run/media and /mnt) in the
// text of a mountinfo file, octal escapes decoded, in file order, without repeats.
std::vector<std::string> VolumesFromMountInfo(std::string_view text);
// Whether a path lies where removable volumes are mounted (/media, /run/media, /mnt).
bool IsOnRemovableVolume(const std::string& path);
// The same from /proc/self/mountinfo.
std::vector<std::string> MountedVolumes();

}  // namespace ql::shell
