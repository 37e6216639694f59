#include "platform/core/shell/ShellFileInfo.h"

#include <gio/gio.h>

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

}  // namespace ql::shell
