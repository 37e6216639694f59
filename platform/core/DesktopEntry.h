#pragma once
// Desktop entries (the freedesktop ".desktop" files): reading an application's entry, and
// turning its command line into argument lists, never into a shell string.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

struct DesktopEntry {
    std::string name;  // as the desktop shows it, in the user's language
    std::string exec;  // the command line, field codes included
    std::string icon;  // the application's icon: a theme icon name or a file; "" for none
};

// The application entry in the file: Type=Application, not Hidden, with a command line whose
// TryExec program (when named) exists. Nothing for other files and for entries that are not
// to be used.
std::optional<DesktopEntry> ReadDesktopEntry(const std::string& path);

// The commands that open `files` with an entry's command line, quoted as desktop entries
// define it: %F and %U take all the files in one command (as paths, or as file URLs), %f and
// %u one file per command; %c is the application's name, "%%" a percent sign; other field
// codes are dropped. Without a file field code the files go last, in one command. Nothing when
// the command line is malformed or empty.
std::optional<std::vector<std::vector<std::string>>>
ExecCommands(std::string_view exec, const std::vector<std::string>& files, const std::string& appName = {});
// The one command that opens `file`.
std::optional<std::vector<std::string>> ExecArgv(std::string_view exec, const std::string& file,
                                                 const std::string& appName = {});

}  // namespace ql
