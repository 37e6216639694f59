#include "platform/core/shell/ShellFileInfo.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/core/shell/ShellFolder.h"
#include "platform/core/shell/ShellItems.h"

namespace ql::shell {

std::string ContentTypeOf(const std::string& name, bool folder)
{
    if (folder)
        return "inode/directory";
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(name.c_str(), nullptr, 0, &uncertain);
    std::string out = type ? type : "";
    g_free(type);
    gchar* mime = g_content_type_get_mime_type(out.c_str());
    if (mime) {
        out = mime;
        g_free(mime);
    }
    return out.empty() ? "application/octet-stream" : out;
}

std::string ContentTypeDescription(const std::string& contentType)
{
    gchar* type = g_content_type_from_mime_type(contentType.c_str());
    gchar* text = g_content_type_get_description(type ? type : contentType.c_str());
    std::string out = text ? text : "";
    g_free(text);
    g_free(type);
    return out;
}

std::vector<std::string> IconNamesOf(const ItemIdList& absolute, bool open)
{
    if (absolute.IsEmpty())
        return {"user-desktop", "folder"};
    auto last = ShellItem::Decode(absolute.ItemData(absolute.ItemCount() - 1));
    if (!last)
        return {};
    if (absolute.ItemCount() == 1) {
        if (last->kind == ItemKind::Home)
            return {"user-home", "folder"};
        if (last->kind == ItemKind::Computer)
            return {"computer", "drive-harddisk"};
    }
    if (last->kind == ItemKind::FileSystemRoot)
        return {"drive-harddisk", "folder"};
    if (last->kind == ItemKind::Volume)
        return {"drive-removable-media", "drive-harddisk", "folder"};
    std::string path = SHGetPathFromIDList(&absolute);
    if (path.empty())
        return {};
    struct stat st {};
    bool folder = ::stat(path.c_str(), &st) == 0 ? S_ISDIR(st.st_mode) : last->folder;
    if (folder)
        return open ? std::vector<std::string>{"folder-open", "folder"} : std::vector<std::string>{"folder"};
    // A link shows its target's picture: the kind is guessed from the target's name.
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        std::filesystem::path target = std::filesystem::canonical(path, ec);
        if (!ec)
            path = target.string();
    }
    std::vector<std::string> names;
    gboolean uncertain = FALSE;
    gchar* type = g_content_type_guess(path.c_str(), nullptr, 0, &uncertain);
    if (type) {
        if (GIcon* icon = g_content_type_get_icon(type)) {
            if (G_IS_THEMED_ICON(icon))
                for (const gchar* const* n = g_themed_icon_get_names(G_THEMED_ICON(icon)); n && *n; ++n)
                    names.emplace_back(*n);
            g_object_unref(icon);
        }
        g_free(type);
    }
    names.emplace_back("text-x-generic");
    names.emplace_back("application-x-generic");
    return names;
}

}  // namespace ql::shell
