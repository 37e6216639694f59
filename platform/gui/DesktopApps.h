#pragma once
// The desktop's applications for a kind of file (the freedesktop MIME associations, read
// through GIO).
#include <string>
#include <vector>

#include "platform/core/DesktopEntry.h"  // ExecArgv: an entry's command line as arguments

namespace ql {

struct DesktopApp {
    std::string name;  // as the desktop shows it
    std::string exec;  // the desktop entry's command line, field codes included
};

// The applications registered for `mimeType`, the desktop's default first, in the order the
// desktop ranks them. Empty when GIO knows none.
std::vector<DesktopApp> AppsForMimeType(const std::string& mimeType);

}  // namespace ql
