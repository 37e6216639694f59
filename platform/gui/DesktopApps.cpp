#include "platform/gui/DesktopApps.h"

#include "platform/core/UrlText.h"

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

std::optional<std::vector<std::string>> ExecArgv(std::string_view exec, const std::string& file,
                                                 const std::string& appName)
{
    // Split into words first (a quoted word may hold blanks and \" \` \$ \\ escapes), noting
    // which words were quoted: field codes count only outside quotes.
    struct Word {
        std::string text;
        bool quoted = false;
    };
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < exec.size()) {
        while (i < exec.size() && (exec[i] == ' ' || exec[i] == '\t'))
            ++i;
        if (i >= exec.size())
            break;
        Word word;
        if (exec[i] == '"') {
            word.quoted = true;
            ++i;
            bool closed = false;
            while (i < exec.size()) {
                const char c = exec[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < exec.size()) {
                    word.text += exec[i++];
                    continue;
                }
                word.text += c;
            }
            if (!closed)
                return std::nullopt;
        } else {
            while (i < exec.size() && exec[i] != ' ' && exec[i] != '\t')
                word.text += exec[i++];
        }
        words.push_back(std::move(word));
    }

    std::vector<std::string> argv;
    bool fileGiven = false;
    for (const Word& word : words) {
        if (word.quoted) {
            std::string text;
            for (std::size_t k = 0; k < word.text.size(); ++k) {
                text += word.text[k];
                if (word.text[k] == '%' && k + 1 < word.text.size() && word.text[k + 1] == '%')
                    ++k;
            }
            argv.push_back(std::move(text));
            continue;
        }
        const std::string& w = word.text;
        if (w == "%f" || w == "%F") {
            argv.push_back(file);
            fileGiven = true;
            continue;
        }
        if (w == "%u" || w == "%U") {
            argv.push_back(FilePathToUrl(file));
            fileGiven = true;
            continue;
        }
        if (w == "%c") {
            if (!appName.empty())
                argv.push_back(appName);
            continue;
        }
        std::string text;
        for (std::size_t k = 0; k < w.size(); ++k) {
            if (w[k] != '%') {
                text += w[k];
            } else if (k + 1 < w.size()) {
                if (w[k + 1] == '%')
                    text += '%';
                ++k;  // any other field code inside a word is dropped
            }
        }
        if (!text.empty())
            argv.push_back(std::move(text));
    }
    if (argv.empty())
        return std::nullopt;
    if (!fileGiven)
        argv.push_back(file);
    return argv;
}

}  // namespace ql
