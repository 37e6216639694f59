#pragma once
// A display of a test's own with no window manager on it (Xvfb), for the tests that must also
// run as on a bare X server: windows are not framed, not placed and not raised for anyone.
// While it lives it is the test process's DISPLAY, so that every helper that opens "the"
// display and every program the test starts use it; the DISPLAY before is restored at the end.
#include <optional>
#include <string>
#include <sys/types.h>

namespace ql::test {

class BareDisplay {
public:
    // Starts the server with one screen of `width` by `height` and waits until it takes
    // connections; Name() is "" when it could not be started.
    BareDisplay(int width, int height);
    ~BareDisplay();  // ends the server
    BareDisplay(const BareDisplay&) = delete;
    BareDisplay& operator=(const BareDisplay&) = delete;

    const std::string& Name() const { return name_; }  // ":N"
    const std::string& Error() const { return error_; }

private:
    pid_t pid_ = -1;
    std::string name_, error_;
    std::optional<std::string> previous_;  // DISPLAY before
};

}  // namespace ql::test
