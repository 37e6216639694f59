#pragma once
// Drags from the drag source helper driven through XTest, for fixtures to mix in: the pointer,
// its button, and waits that run the event loop and read the helper's output meanwhile.
// QL_DRAG_SOURCE is the helper program (see tests/platform/gui/CMakeLists.txt).
#include "tests/support/DragSourceProcess.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <wx/app.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace ql::test {

class XPointerDrag {
public:
    static constexpr int kSourceX = 40, kSourceY = 40;  // the helper's window on the screen

    XPointerDrag() : display_(XOpenDisplay(nullptr)) {}
    ~XPointerDrag()
    {
        source.reset();
        if (display_)
            XCloseDisplay(display_);
    }
    XPointerDrag(const XPointerDrag&) = delete;
    XPointerDrag& operator=(const XPointerDrag&) = delete;

    Display* display() const { return display_; }

    // Runs pending events, having waited up to `waitMs` for input (the helper's output, X events).
    void Pump(int waitMs)
    {
        if (source) {
            pollfd p{source->Fd(), POLLIN, 0};
            poll(&p, 1, waitMs);
            source->Read();
        } else if (waitMs) {
            poll(nullptr, 0, waitMs);
        }
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        wxTheApp->ProcessPendingEvents();
    }
    // Runs the event loop until `done` holds or the deadline passes, never waiting longer than
    // 10 ms at a time.
    bool WaitFor(const std::function<bool()>& done, int ms)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            Pump(10);
        }
        return true;
    }
    void MoveTo(int x, int y)
    {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XFlush(display_);
    }
    void Button(bool down)
    {
        XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
        XFlush(display_);
    }

    // Starts the helper offering `mode` and picks its content up: the drag runs when this
    // returns; (x, y) is the pointer.
    void StartDrag(const std::string& mode, int& x, int& y)
    {
        source = std::make_unique<DragSource>(QL_DRAG_SOURCE, mode, kSourceX, kSourceY);
        ASSERT_TRUE(WaitFor([&] { return source->Said("ready"); }, 5000)) << "helper did not start";
        x = kSourceX + 60;
        y = kSourceY + 40;
        MoveTo(x, y);
        Pump(20);
        Button(true);
        ASSERT_TRUE(WaitFor(
            [&] {
                MoveTo(x += 4, y += 2);
                return source->Said("begin");
            },
            3000))
            << "the drag did not start";
    }

    std::unique_ptr<DragSource> source;  // the helper, while a drag from it runs

private:
    Display* display_;
};

}  // namespace ql::test
