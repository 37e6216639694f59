#pragma once
// Runs the wx event loop until a condition holds or a deadline passes.
#include <chrono>
#include <functional>

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/window.h>

namespace ql::test {

inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        // Waits for the next event (at most 20 ms), then lets idle handlers run.
        loop->DispatchTimeout(20);
        wxTheApp->ProcessIdle();
    }
    return true;
}

// Runs the loop until `done` has held without a break for `steady`: a layout that the window
// manager's late answers (the frame's extents, a move) may still change is waited out.
inline bool PumpUntilSteady(const std::function<bool()>& done, std::chrono::milliseconds steady,
                            std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto since = std::chrono::steady_clock::time_point::max();
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (!done())
            since = std::chrono::steady_clock::time_point::max();
        else if (since == std::chrono::steady_clock::time_point::max())
            since = now;
        else if (now - since >= steady)
            return true;
        if (now > deadline)
            return false;
        wxEventLoopBase::GetActive()->DispatchTimeout(20);
        wxTheApp->ProcessIdle();
    }
}

// Whether the window is really on the screen. Under a window manager a frame that was shown
// waits for the manager before the toolkit maps it; until then IsShownOnScreen() already holds,
// but the window has no place on the screen (ClientToScreen fails, clicks miss it).
inline bool MappedOnScreen(wxWindow* window)
{
    if (!window || !window->IsShownOnScreen())
        return false;
    GtkWidget* widget = window->GetHandle();
    GdkWindow* gdk = widget ? gtk_widget_get_window(widget) : nullptr;
    return gdk && gtk_widget_get_mapped(widget) && gdk_window_is_viewable(gdk);
}

// Whether the toolkit has laid the window out at the size it has now: under a window manager a
// new size arrives in steps, and the children have their places only once the last one is
// applied.
inline bool LaidOutAtItsSize(wxWindow* window)
{
    GtkWidget* client = window->m_wxwindow ? window->m_wxwindow : window->GetHandle();
    const wxSize size = window->GetClientSize();
    return client && gtk_widget_get_allocated_width(client) == size.x &&
           gtk_widget_get_allocated_height(client) == size.y;
}

// Keeps an event loop active for the tests that need one.
class ActiveLoop {
public:
    ActiveLoop() : activator_(&loop_) {}

private:
    wxEventLoop loop_;
    wxEventLoopActivator activator_;
};

}  // namespace ql::test
