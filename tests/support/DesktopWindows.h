#pragma once
// The desktop as a user sees it, for tests that drive other programs' windows from outside:
// windows found by their title, where they are, their stacking, the XTest pointer, and the
// rows of text a window shows, read from the screen. Header only, like ProgramWindows.h;
// include it last (the X11 headers' macros clash with names in other headers).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/types.h>
#include <vector>

namespace ql::test {

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }
};

// A connection of the test's own to the display.
class Desktop {
public:
    // Other programs' windows come and go while they are looked at: a request about one that
    // has gone fails, and is taken as "none" rather than ending the test.
    Desktop() : display_(XOpenDisplay(nullptr))
    {
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~Desktop()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    Display* display() const { return display_; }
    ::Window Root() const { return DefaultRootWindow(display_); }

    // The window's title (_NET_WM_NAME, else WM_NAME).
    std::string Title(::Window w) const
    {
        std::string title = Property(w, XInternAtom(display_, "_NET_WM_NAME", False),
                                     XInternAtom(display_, "UTF8_STRING", False));
        if (title.empty()) {
            char* name = nullptr;
            if (XFetchName(display_, w, &name) && name)
                title = name;
            if (name)
                XFree(name);
        }
        return title;
    }

    // The window manager's client windows, bottom first; without a window manager, the
    // root's children, which are the clients then.
    std::vector<::Window> Stacking() const
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<::Window> windows;
        if (XGetWindowProperty(display_, Root(), XInternAtom(display_, "_NET_CLIENT_LIST_STACKING", False), 0, 4096,
                               False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
            data && format == 32) {
            const auto* list = reinterpret_cast<const unsigned long*>(data);
            windows.assign(list, list + count);
        }
        if (data)
            XFree(data);
        if (windows.empty()) {
            ::Window root = 0, parent = 0, *children = nullptr;
            unsigned n = 0;
            if (XQueryTree(display_, Root(), &root, &parent, &children, &n) && children)
                windows.assign(children, children + n);
            if (children)
                XFree(children);
        }
        return windows;
    }

    // The viewable client windows of process `pid`, bottom first.
    std::vector<::Window> WindowsOf(pid_t pid) const
    {
        std::vector<::Window> found;
        const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
        for (::Window w : Stacking()) {
            Atom type = 0;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display_, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                                   &data) == Success &&
                data && format == 32 && count == 1 &&
                static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid && Viewable(w))
                found.push_back(w);
            if (data)
                XFree(data);
        }
        return found;
    }

    bool Viewable(::Window w) const
    {
        XWindowAttributes attrs;
        return XGetWindowAttributes(display_, w, &attrs) && attrs.map_state == IsViewable;
    }

    // A viewable client window whose title holds `part`, or 0.
    ::Window Titled(const std::string& part) const
    {
        for (::Window w : Stacking())
            if (Viewable(w) && Title(w).find(part) != std::string::npos)
                return w;
        return 0;
    }

    // The window's client area on the screen.
    Box Where(::Window w) const
    {
        Box b;
        ::Window root = 0, child = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        int x = 0, y = 0;
        if (!XGetGeometry(display_, w, &root, &x, &y, &width, &height, &border, &depth) ||
            !XTranslateCoordinates(display_, w, Root(), 0, 0, &b.x, &b.y, &child))
            return {};
        b.width = static_cast<int>(width);
        b.height = static_cast<int>(height);
        return b;
    }

    // Asks the window manager to put the window's frame at (x, y).
    void Move(::Window w, int x, int y) const
    {
        XMoveWindow(display_, w, x, y);
        XFlush(display_);
    }

    ::Window SelectionOwner(const char* selection) const
    {
        return XGetSelectionOwner(display_, XInternAtom(display_, selection, False));
    }

    void PointerTo(int x, int y) const
    {
        XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
        XFlush(display_);
    }
    void Button(bool down) const
    {
        XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
        XFlush(display_);
    }

private:
    std::string Property(::Window w, Atom property, Atom type) const
    {
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::string value;
        if (XGetWindowProperty(display_, w, property, 0, 1024, False, type, &actual, &format, &count, &after, &data) ==
                Success &&
            data && format == 8)
            value.assign(reinterpret_cast<const char*>(data), count);
        if (data)
            XFree(data);
        return value;
    }

    Display* display_;
};

// A row of a list or tree as the screen shows it: the lines from `top` to `bottom` (inclusive)
// that hold anything but the background.
struct ScreenRow {
    int top = 0, bottom = 0;
    int Centre() const { return (top + bottom) / 2; }
    bool operator==(const ScreenRow&) const = default;
};

// The rows of text in the band of `area` between x0 and x1, from its top down to the first gap
// of `gap` empty lines after a row. A line counts when at least `ink` of its pixels in the band
// are not the background: two keep a tree's vertical branch lines, one pixel wide, out of the
// rows. Screen coordinates.
inline std::vector<ScreenRow> RowsOnScreen(const Desktop& desktop, const Box& area, int x0, int x1,
                                           unsigned long background, int ink = 1, int gap = 40)
{
    std::vector<ScreenRow> rows;
    if (area.width <= 0 || area.height <= 0)
        return rows;
    XImage* image = XGetImage(desktop.display(), desktop.Root(), area.x, area.y, static_cast<unsigned>(area.width),
                              static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (!image)
        return rows;
    int empty = 0;
    bool inRow = false;
    for (int y = 0; y < area.height && empty < gap; ++y) {
        int inked = 0;
        for (int x = std::max(0, x0 - area.x); x < std::min(area.width, x1 - area.x) && inked < ink; ++x)
            inked += (XGetPixel(image, x, y) & 0xFFFFFF) != (background & 0xFFFFFF);
        const bool inRowNow = inked >= ink;
        if (inRowNow && !inRow)
            rows.push_back({area.y + y, area.y + y});
        if (inRowNow)
            rows.back().bottom = area.y + y;
        inRow = inRowNow;
        empty = inRowNow ? 0 : empty + 1;
        if (rows.empty())
            empty = 0;  // a gap counts only after the first row
    }
    XDestroyImage(image);
    return rows;
}

// What the screen shows in `area`, pixel by pixel, to tell whether it changed.
inline std::string LookOf(const Desktop& desktop, const Box& area)
{
    std::string look;
    XImage* image = area.width > 0 && area.height > 0
                        ? XGetImage(desktop.display(), desktop.Root(), area.x, area.y,
                                    static_cast<unsigned>(area.width), static_cast<unsigned>(area.height), AllPlanes,
                                    ZPixmap)
                        : nullptr;
    if (!image)
        return look;
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            look.append({static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)});
        }
    XDestroyImage(image);
    return look;
}

// Saves the screen as <build>/artifacts/<name>.ppm, for a failure to be looked at.
inline void SaveScreen(const Desktop& desktop, const std::string& name)
{
    const int width = DisplayWidth(desktop.display(), DefaultScreen(desktop.display()));
    const int height = DisplayHeight(desktop.display(), DefaultScreen(desktop.display()));
    const std::string pixels = LookOf(desktop, Box{0, 0, width, height});
    const char* build = std::getenv("QUILLORY_TEST_BUILD");
    const std::filesystem::path dir = std::filesystem::path(build ? build : "/tmp") / "artifacts";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::ofstream out(dir / (name + ".ppm"), std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n" << pixels;
}

// The colour of one pixel of the screen.
inline unsigned long PixelAt(const Desktop& desktop, int x, int y)
{
    XImage* image = XGetImage(desktop.display(), desktop.Root(), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0;
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return p;
}

}  // namespace ql::test
