#pragma once
// What the X server shows of a window's client area (or of any part of the screen), read
// straight from the screen with the windows inside it (a toolkit screen device context may
// hand back a cached copy, or leave out child windows such as a web view's).
#include <wx/image.h>
#include <wx/window.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

// Last: its macros clash with names in other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace ql::test {

// What the screen shows in `area` (screen pixels).
inline wxImage GrabScreen(const wxRect& area)
{
    wxImage image(area.width, area.height);
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return image;
    XImage* x = XGetImage(display, DefaultRootWindow(display), area.x, area.y, unsigned(area.width),
                          unsigned(area.height), AllPlanes, ZPixmap);
    if (x) {
        for (int row = 0; row < area.height; ++row)
            for (int col = 0; col < area.width; ++col) {
                const unsigned long p = XGetPixel(x, col, row);
                image.SetRGB(col, row, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            }
        XDestroyImage(x);
    }
    XCloseDisplay(display);
    return image;
}

inline wxImage Grab(wxWindow* w) { return GrabScreen(wxRect(w->ClientToScreen(wxPoint(0, 0)), w->GetClientSize())); }

// Whether a pixel of `area` (clipped to the image) has a colour `is` accepts, given as red,
// green and blue.
inline bool AnyPixel(const wxImage& image, const wxRect& area, const std::function<bool(int, int, int)>& is)
{
    const wxRect r = area.Intersect(wxRect(image.GetSize()));
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            if (is(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)))
                return true;
    return false;
}

// Saves a screenshot as <build>/artifacts/<name>.
inline bool SaveArtifact(const wxImage& image, const std::string& name)
{
    const char* build = std::getenv("QUILLORY_TEST_BUILD");
    const std::filesystem::path dir = (build ? std::filesystem::path(build) : std::filesystem::temp_directory_path()) /
                                      "artifacts";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return image.SaveFile((dir / name).string(), wxBITMAP_TYPE_PNG);
}

}  // namespace ql::test
