#include "platform/core/shell/ShellItems.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/core/SafeFile.h"

namespace ql::shell {

std::string ShellItem::Encode() const
{
    std::string data;
    data.reserve(2 + name.size());
    data.push_back(static_cast<char>(kind));
    data.push_back(static_cast<char>(folder ? kItemFolderFlag : 0));
    data += name;
    return data;
}

namespace {

bool IsValidMountPath(std::string_view path)
{
    if (path.size() < 2 || path.front() != '/' || path.find('\0') != std::string_view::npos)
        return false;
    std::size_t pos = 1;
    while (pos <= path.size()) {
        std::size_t end = path.find('/', pos);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view part = path.substr(pos, end - pos);
        if (part.empty() || part == "." || part == "..")
            return false;
        pos = end + 1;
    }
    return true;
}

}  // namespace

std::optional<ShellItem> ShellItem::Decode(std::string_view data)
{
    if (data.size() < 2)
        return std::nullopt;
    ShellItem item;
    auto kind = static_cast<std::uint8_t>(data[0]);
    auto flags = static_cast<std::uint8_t>(data[1]);
    if (kind < 1 || kind > 5 || (flags & ~kItemFolderFlag))
        return std::nullopt;
    item.kind = static_cast<ItemKind>(kind);
    item.folder = flags & kItemFolderFlag;
    item.name.assign(data.substr(2));
    switch (item.kind) {
    case ItemKind::Home:
    case ItemKind::Computer:
    case ItemKind::FileSystemRoot:
        if (!item.name.empty() || !item.folder)
            return std::nullopt;
        break;
    case ItemKind::Volume:
        if (!IsValidMountPath(item.name) || !item.folder)
            return std::nullopt;
        break;
    case ItemKind::File:
        if (!IsValidFileName(item.name))
            return std::nullopt;
        break;
    }
    return item;
}

bool IsValidFileName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string JoinPath(const std::string& dir, std::string_view name)
{
    std::string path = dir;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::optional<Location> ChildLocation(const Location& parent, const ShellItem& item)
{
    switch (parent.kind) {
    case Location::Kind::Desktop:
        if (item.kind == ItemKind::Home)
            return Location::AtPath(HomePath());
        if (item.kind == ItemKind::Computer)
            return Location::Computer();
        if (item.kind == ItemKind::File)
            return Location::AtPath(JoinPath(DesktopDirectoryPath(), item.name));
        return std::nullopt;
    case Location::Kind::Computer:
        if (item.kind == ItemKind::FileSystemRoot)
            return Location::AtPath("/");
        if (item.kind == ItemKind::Volume)
            return Location::AtPath(item.name);
        return std::nullopt;
    case Location::Kind::Path:
        if (item.kind == ItemKind::File)
            return Location::AtPath(JoinPath(parent.path, item.name));
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Location> ResolveLocation(const Location& start, const ItemIdList& relative)
{
    Location at = start;
    for (std::size_t i = 0; i < relative.ItemCount(); ++i) {
        auto item = ShellItem::Decode(relative.ItemData(i));
        if (!item)
            return std::nullopt;
        auto next = ChildLocation(at, *item);
        if (!next)
            return std::nullopt;
        at = std::move(*next);
    }
    return at;
}

namespace {

std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

std::string TrimTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string UserDir(std::string_view key, const std::string& fallback)
{
    std::string home = HomePath();
    std::string config = EnvOr("XDG_CONFIG_HOME", JoinPath(home, ".config"));
    auto text = ReadFileBytes(JoinPath(config, "user-dirs.dirs"), 1 << 16);
    std::string dir = text ? UserDirFromText(*text, key, home) : std::string();
    return dir.empty() ? fallback : dir;
}

}  // namespace

std::string HomePath() { return TrimTrailingSlashes(EnvOr("HOME", "/")); }

std::string DesktopDirectoryPath() { return UserDir("XDG_DESKTOP_DIR", JoinPath(HomePath(), "Desktop")); }

std::string DocumentsPath() { return UserDir("XDG_DOCUMENTS_DIR", HomePath()); }

namespace {

std::string DataHome() { return TrimTrailingSlashes(EnvOr("XDG_DATA_HOME", JoinPath(HomePath(), ".local/share"))); }

}  // namespace

std::string SendToPath() { return JoinPath(DataHome(), "quillory/sendto"); }

std::vector<std::string> SendToFolders()
{
    std::vector<std::string> folders{SendToPath(), JoinPath(DataHome(), "Thunar/sendto")};
    std::istringstream dirs(EnvOr("XDG_DATA_DIRS", "/usr/local/share/:/usr/share/"));
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (dir.empty() || dir.front() != '/')
            continue;  // relative entries are not valid data folders
        std::string folder = JoinPath(TrimTrailingSlashes(dir), "Thunar/sendto");
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(std::move(folder));
    }
    return folders;
}

std::string UserDirFromText(std::string_view text, std::string_view key, const std::string& home)
{
    std::istringstream in{std::string(text)};
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::size_t eq = line.find('=');
        if (eq == std::string::npos || std::string_view(line).substr(0, eq) != key)
            continue;
        std::string value = line.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value == "$HOME")
            value = home;
        else if (value.rfind("$HOME/", 0) == 0)
            value = JoinPath(home, value.substr(6));
        found = value;  // the last assignment wins, as the shell that reads the file would do
    }
    if (found.empty() || found.front() != '/')
        return {};
    return TrimTrailingSlashes(found);
}

namespace {

// mountinfo escapes blanks, tabs, newlines and backslashes as \ooo.
std::string DecodeMountField(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        auto oct = [](char c) { return c >= '0' && c <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && oct(field[i + 1]) && oct(field[i + 2]) && oct(field[i + 3])) {
            out.push_back(
                static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0')));
            i += 3;
            continue;
        }
        out.push_back(field[i]);
    }
    return out;
}

bool IsVolumeMountPoint(const std::string& mp)
{
    for (std::string_view base : {"/media/", "/run/media/", "/mnt/"})
        if (mp.size() > base.size() && mp.compare(0, base.size(), base) == 0)
            return true;
    return false;
}

}  // namespace

bool IsOnRemovableVolume(const std::string& path) { return IsVolumeMountPoint(path); }

std::vector<std::string> VolumesFromMountInfo(std::string_view text)
{
    std::vector<std::string> volumes;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        // Fields: id, parent id, major:minor, root, mount point, ...
        std::size_t start = 0;
        std::string_view field;
        for (int i = 0; i < 5; ++i) {
            std::size_t sp = line.find(' ', start);
            if (sp == std::string_view::npos && i < 4) {
                field = {};
                break;
            }
            field = line.substr(start, (sp == std::string_view::npos ? line.size() : sp) - start);
            start = sp == std::string_view::npos ? line.size() : sp + 1;
        }
        if (field.empty())
            continue;
        std::string mp = TrimTrailingSlashes(DecodeMountField(field));
        if (IsVolumeMountPoint(mp) && IsValidMountPath(mp) &&
            std::find(volumes.begin(), volumes.end(), mp) == volumes.end())
            volumes.push_back(mp);
    }
    return volumes;
}

std::vector<std::string> MountedVolumes()
{
    auto text = ReadFileBytes("/proc/self/mountinfo", 1 << 22);
    return text ? VolumesFromMountInfo(*text) : std::vector<std::string>{};
}

}  // namespace ql::shell
