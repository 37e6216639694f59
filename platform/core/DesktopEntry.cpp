#include "platform/core/DesktopEntry.h"

#include "platform/core/UrlText.h"

#include <glib.h>

namespace ql {

namespace {

// A word of a command line; field codes count only in words that were not quoted.
struct ExecWord {
    std::string text;
    bool quoted = false;
};

// Splits into words (a quoted word may hold blanks and \" \` \$ \\ escapes).
std::optional<std::vector<ExecWord>> SplitExec(std::string_view exec)
{
    std::vector<ExecWord> words;
    std::size_t i = 0;
    while (i < exec.size()) {
        while (i < exec.size() && (exec[i] == ' ' || exec[i] == '\t'))
            ++i;
        if (i >= exec.size())
            break;
        ExecWord word;
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
    return words;
}

enum class FileCode { None, EachPath, EachUrl, AllPaths, AllUrls };

FileCode FileCodeOf(const ExecWord& word)
{
    if (word.quoted)
        return FileCode::None;
    if (word.text == "%f")
        return FileCode::EachPath;
    if (word.text == "%u")
        return FileCode::EachUrl;
    if (word.text == "%F")
        return FileCode::AllPaths;
    if (word.text == "%U")
        return FileCode::AllUrls;
    return FileCode::None;
}

// A word without file field codes: %c the name, %% a percent sign, other codes dropped.
std::string ExpandWord(const ExecWord& word, const std::string& appName, bool& keep)
{
    keep = true;
    std::string text;
    if (word.quoted) {
        for (std::size_t k = 0; k < word.text.size(); ++k) {
            text += word.text[k];
            if (word.text[k] == '%' && k + 1 < word.text.size() && word.text[k + 1] == '%')
                ++k;
        }
        return text;
    }
    if (word.text == "%c") {
        keep = !appName.empty();
        return appName;
    }
    for (std::size_t k = 0; k < word.text.size(); ++k) {
        if (word.text[k] != '%') {
            text += word.text[k];
        } else if (k + 1 < word.text.size()) {
            if (word.text[k + 1] == '%')
                text += '%';
            ++k;  // any other field code inside a word is dropped
        }
    }
    keep = !text.empty();
    return text;
}

// One command for `files` (all of them for %F %U, one for %f %u).
std::vector<std::string> Command(const std::vector<ExecWord>& words, const std::vector<std::string>& files,
                                 const std::string& appName, bool& fileGiven)
{
    std::vector<std::string> argv;
    fileGiven = false;
    for (const ExecWord& word : words) {
        const FileCode code = FileCodeOf(word);
        if (code != FileCode::None) {
            const bool url = code == FileCode::EachUrl || code == FileCode::AllUrls;
            for (const std::string& f : files)
                argv.push_back(url ? FilePathToUrl(f) : f);
            fileGiven = true;
            continue;
        }
        bool keep = false;
        std::string text = ExpandWord(word, appName, keep);
        if (keep)
            argv.push_back(std::move(text));
    }
    return argv;
}

}  // namespace

std::optional<DesktopEntry> ReadDesktopEntry(const std::string& path)
{
    constexpr const char* kGroup = "Desktop Entry";
    GKeyFile* file = g_key_file_new();
    std::optional<DesktopEntry> entry;
    if (g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_NONE, nullptr)) {
        gchar* type = g_key_file_get_string(file, kGroup, "Type", nullptr);
        gchar* name = g_key_file_get_locale_string(file, kGroup, "Name", nullptr, nullptr);
        gchar* exec = g_key_file_get_string(file, kGroup, "Exec", nullptr);
        gchar* tryExec = g_key_file_get_string(file, kGroup, "TryExec", nullptr);
        gchar* icon = g_key_file_get_locale_string(file, kGroup, "Icon", nullptr, nullptr);
        const bool hidden = g_key_file_get_boolean(file, kGroup, "Hidden", nullptr);
        bool usable = type && std::string_view(type) == "Application" && name && *name && exec && *exec && !hidden;
        if (usable && tryExec && *tryExec) {
            gchar* found = g_find_program_in_path(tryExec);
            usable = found != nullptr;
            g_free(found);
        }
        if (usable)
            entry = DesktopEntry{name, exec, icon ? icon : ""};
        g_free(icon);
        g_free(type);
        g_free(name);
        g_free(exec);
        g_free(tryExec);
    }
    g_key_file_free(file);
    return entry;
}

std::optional<std::vector<std::vector<std::string>>>
ExecCommands(std::string_view exec, const std::vector<std::string>& files, const std::string& appName)
{
    const auto words = SplitExec(exec);
    if (!words)
        return std::nullopt;
    bool each = false;
    for (const ExecWord& word : *words) {
        const FileCode code = FileCodeOf(word);
        each = each || code == FileCode::EachPath || code == FileCode::EachUrl;
    }
    std::vector<std::vector<std::string>> commands;
    const std::size_t runs = each ? files.size() : 1;
    for (std::size_t i = 0; i < runs; ++i) {
        const std::vector<std::string> these = each ? std::vector<std::string>{files[i]} : files;
        bool fileGiven = false;
        std::vector<std::string> argv = Command(*words, these, appName, fileGiven);
        if (argv.empty())
            return std::nullopt;
        if (!fileGiven)
            argv.insert(argv.end(), these.begin(), these.end());
        commands.push_back(std::move(argv));
    }
    return commands;
}

std::optional<std::vector<std::string>> ExecArgv(std::string_view exec, const std::string& file,
                                                 const std::string& appName)
{
    auto commands = ExecCommands(exec, {file}, appName);
    if (!commands || commands->empty())
        return std::nullopt;
    return std::move(commands->front());
}

}  // namespace ql
