#include "platform/gui/DesktopApps.h"

#include <gio/gio.h>

#include <algorithm>

namespace ql {

std::vector<DesktopApp> AppsForMimeType(const std::string& mimeType)
{
    std::vector<DesktopApp> apps;
    gchar* type = g_content_type_from_mime_type(mimeType.c_str());
    if (!type)
        return apps;
    // GIO lists the associations in index order; the user's default goes first.
    GAppInfo* preferred = g_app_info_get_default_for_type(type, FALSE);
    GList* list = g_app_info_get_all_for_type(type);
    g_free(type);
    if (preferred)
        list = g_list_prepend(list, preferred);
    std::vector<std::string> seen;
    for (GList* item = list; item; item = item->next) {
        auto* info = static_cast<GAppInfo*>(item->data);
        const char* id = g_app_info_get_id(info);
        const char* name = g_app_info_get_name(info);
        const char* exec = g_app_info_get_commandline(info);
        if (!name || !exec || !g_app_info_should_show(info))
            continue;
        const std::string key = id ? id : exec;
        if (std::find(seen.begin(), seen.end(), key) != seen.end())
            continue;
        seen.push_back(key);
        apps.push_back(DesktopApp{name, exec});
    }
    g_list_free_full(list, g_object_unref);
    return apps;
}

}  // namespace ql
