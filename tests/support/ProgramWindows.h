#pragma once
// Another process's top-level windows as the X server shows them: found by the process's id
// and title, keys typed into them through XTest, and their hiding and showing followed.
// Header only: the GUI tests that use it link the X11 libraries, and include it last, since
// the X11 headers' macros clash with names in other headers.
#include <chrono>
#include <string>
#include <sys/types.h>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

namespace ql::test {

inline bool MappedWindowOf(Display* display, Window window, Atom pidAtom, pid_t pid)
{
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool match = false;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data && count == 1 && format == 32)
        match = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
    if (data)
        XFree(data);
    if (!match)
        return false;
    XWindowAttributes attrs;
    return XGetWindowAttributes(display, window, &attrs) && attrs.map_state == IsViewable;
}

// The mapped client window of the process titled `title` ("" for any) at or below `parent`, or 0.
// Under a reparenting window manager a program's top-level windows are children of the
// manager's frames, not of the root, so the search goes down the tree.
inline Window FindMappedWindowBelow(Display* display, Window parent, Atom pidAtom, pid_t pid, const std::string& title,
                                    int depth)
{
    Window root = 0, up = 0, *children = nullptr, found = 0;
    unsigned int n = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &n))
        return 0;
    for (unsigned i = 0; i < n && !found; ++i) {
        if (MappedWindowOf(display, children[i], pidAtom, pid)) {
            char* name = nullptr;
            if (title.empty() || (XFetchName(display, children[i], &name) && name && title == name))
                found = children[i];
            if (name)
                XFree(name);
        }
        if (!found && depth > 0)
            found = FindMappedWindowBelow(display, children[i], pidAtom, pid, title, depth - 1);
    }
    if (children)
        XFree(children);
    return found;
}

inline Window FindMappedWindow(Display* display, pid_t pid, const std::string& title)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    return FindMappedWindowBelow(display, DefaultRootWindow(display), pidAtom, pid, title, 2);
}

// Whether a window manager has taken the display: it names its check window on the root.
inline bool WindowManagerRunning(Display* display)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool running = XGetWindowProperty(display, DefaultRootWindow(display),
                                            XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                                            XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
                         data && count == 1;
    if (data)
        XFree(data);
    return running;
}

// The same on a connection of its own; false without a display.
inline bool WindowManagerRunning()
{
    Display* display = XOpenDisplay(nullptr);
    const bool running = display && WindowManagerRunning(display);
    if (display)
        XCloseDisplay(display);
    return running;
}

// The rectangle of what frames `client` on the screen: the window manager's frame around it
// (its outermost ancestor below the root), or the client itself when nothing frames it.
struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ScreenRect&) const = default;
};
inline ScreenRect FrameRect(Display* display, Window client)
{
    Window top = client;
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(display, top, &root, &parent, &children, &n))
            break;
        if (children)
            XFree(children);
        if (parent == root || parent == 0)
            break;
        top = parent;
    }
    Window root = 0;
    int x = 0, y = 0;
    unsigned int w = 0, h = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, top, &root, &x, &y, &w, &h, &border, &depth))
        return {};
    return ScreenRect{x, y, static_cast<int>(w + 2 * border), static_cast<int>(h + 2 * border)};
}

// Waits until a top-level window of the process (titled `title`, when given) is mapped.
inline Window WaitForMappedWindow(Display* display, pid_t pid, std::chrono::milliseconds timeout,
                                  const std::string& title = {})
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    Window found = 0;
    while (!found && std::chrono::steady_clock::now() < end) {
        found = FindMappedWindow(display, pid, title);
        if (!found)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return found;
}

// The same on a connection of its own.
inline Window WaitForMappedWindow(pid_t pid, std::chrono::milliseconds timeout, const std::string& title = {})
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    const Window found = WaitForMappedWindow(display, pid, timeout, title);
    XCloseDisplay(display);
    return found;
}

// The width of the X display's screen, 0 without a display.
inline int ScreenWidth()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    const int width = DisplayWidth(display, DefaultScreen(display));
    XCloseDisplay(display);
    return width;
}

// Gives `window` the keyboard and types the key named `keysym` ("Return") into it.
inline void PressKeyIn(Window window, const char* keysym)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    const KeyCode key = XKeysymToKeycode(display, XStringToKeysym(keysym));
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    XFlush(display);
    XCloseDisplay(display);
}

// Follows one window's unmapping and mapping through the server's events from the moment it
// is made, so a window hidden and shown again between two looks is not missed.
class WindowMapping {
public:
    explicit WindowMapping(Window window) : display_(XOpenDisplay(nullptr)), window_(window)
    {
        if (display_) {
            XSelectInput(display_, window_, StructureNotifyMask);
            XSync(display_, False);
        }
    }
    ~WindowMapping()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    WindowMapping(const WindowMapping&) = delete;
    WindowMapping& operator=(const WindowMapping&) = delete;

    // Waits for the window's next MapNotify (`mapped`) or UnmapNotify, passing over other events.
    bool Next(bool mapped, std::chrono::milliseconds timeout)
    {
        if (!display_)
            return false;
        const int wanted = mapped ? MapNotify : UnmapNotify;
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == wanted && event.xany.window == window_)
                    return true;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd p{ConnectionNumber(display_), POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(left.count()));
        }
    }

private:
    Display* display_;
    Window window_;
};

}  // namespace ql::test
