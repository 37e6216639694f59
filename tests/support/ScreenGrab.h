#pragma once
// What the X server shows of a window's client area, read straight from the screen with the
// windows inside it (a toolkit screen device context may hand back a cached copy, or leave out
// child windows such as a web view's).
#include <wx/image.h>
#include <wx/window.h>

// Last: its macros clash with names in other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace ql::test {

inline wxImage Grab(wxWindow* w)
{
    const wxSize size = w->GetClientSize();
    const wxPoint origin = w->ClientToScreen(wxPoint(0, 0));
    wxImage image(size.x, size.y);
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return image;
    XImage* x = XGetImage(display, DefaultRootWindow(display), origin.x, origin.y, unsigned(size.x), unsigned(size.y),
                          AllPlanes, ZPixmap);
    if (x) {
        for (int row = 0; row < size.y; ++row)
            for (int col = 0; col < size.x; ++col) {
                const unsigned long p = XGetPixel(x, col, row);
                image.SetRGB(col, row, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            }
        XDestroyImage(x);
    }
    XCloseDisplay(display);
    return image;
}

}  // namespace ql::test
