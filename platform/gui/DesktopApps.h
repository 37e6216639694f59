#pragma once
// The desktop's applications for a kind of file (the freedesktop MIME associations, read
// through GIO), and turning an application's command line into an argument list.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

struct DesktopApp {
    std::string name;  // as the desktop shows it
    std::string exec;  // the desktop entry's command line, field codes included
};

// The applications registered for `mimeType`, the desktop's default first, in the order the
// desktop ranks them. Empty when GIO knows none.
std::vector<DesktopApp> AppsForMimeType(const std::string& mimeType);

// The argument list that opens `file` with a desktop entry's command line: quoting as desktop
// entries define it; %f %F give the file as one argument, %u %U its file URL, %c the
// application's name, "%%" a percent sign; other field codes are dropped. Without a file field
// code the file is added at the end. Nothing when the command line is malformed or empty.
std::optional<std::vector<std::string>> ExecArgv(std::string_view exec, const std::string& file,
                                                 const std::string& appName = {});

}  // namespace ql
