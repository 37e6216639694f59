#pragma once
// Bringing another program's window to the front, as a port: the program asks the window
// manager (X11), tests use a fake.
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace ql {

class WindowActivator {
public:
    virtual ~WindowActivator() = default;
    // Activates the top-level window of process `pid` (0: any process) whose class is
    // `windowClass` when it has several, or else any of its windows; without a window of that
    // process, a window of that class. False when none was found or the request failed.
    virtual bool ActivateWindowOf(pid_t pid, const std::string& windowClass) = 0;
};

// A top-level window as the window manager lists it (in its order, oldest first).
struct ClientWindow {
    unsigned long id = 0;
    pid_t pid = 0;                  // 0 when the window does not say
    std::string resName, resClass;  // WM_CLASS
};
// The window ActivateWindowOf means: of the process's windows the newest of that class, else
// its newest; without any, the newest of that class. Nothing when none fits.
std::optional<unsigned long> ChooseWindowToActivate(const std::vector<ClientWindow>& clients, pid_t pid,
                                                    const std::string& windowClass);

}  // namespace ql
