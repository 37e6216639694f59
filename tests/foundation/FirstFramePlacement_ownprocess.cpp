// The first framed window of a process, as the editor is in the program: the toolkit learns the
// size of the window manager's frames only from it, so this test runs in a program of its own
// (see CMakeLists.txt). The window manager may frame the window before the toolkit has heard of
// the frame, and the placement is read as the window shows. After a first run the stored size
// is the designed client size plus the frame: the size being set, still on its way to the
// server, then looks as if the toolkit knew the frame already. The stored bounds must hold.
#include "foundation/VekAdvClass_wx.h"
#include "platform/core/Registry.h"

#include "tests/support/TempDir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/utils.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

// Last: the X11 headers' macros clash with names in other headers.
#include "tests/support/ProgramWindows.h"

namespace ql {
namespace {

using Clock = std::chrono::steady_clock;

// The manager's frame extents of `w` (left, right, top, bottom), once it has set them.
bool FrameExtents(Display* display, ::Window w, long* extents)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool ok = XGetWindowProperty(display, w, XInternAtom(display, "_NET_FRAME_EXTENTS", False), 0, 4, False,
                                       XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
                    data && format == 32 && count == 4;
    for (int i = 0; ok && i < 4; ++i)
        extents[i] = reinterpret_cast<long*>(data)[i];
    if (data)
        XFree(data);
    return ok;
}

TEST(FirstFramePlacement, APlacementReadWhileTheManagerFramesTheWindowIsKept)
{
    test::ScopedXdgEnv env;
    Display* display = XOpenDisplay(nullptr);
    ASSERT_TRUE(display);
    if (!test::WindowManagerRunning(display)) {
        XCloseDisplay(display);
        GTEST_SKIP() << "only a window manager frames windows";
    }
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "placement");
    frame->SetClientSize(500, 300);
    FormRect stored{};
    frame->Bind(wxEVT_SHOW, [&](wxShowEvent& e) {
        e.Skip();
        if (!e.IsShown())
            return;
        // Held here, the toolkit's events unread, until the manager has framed the window.
        GdkWindow* window = gtk_widget_get_window(frame->GetHandle());
        gdk_display_flush(gdk_window_get_display(window));
        const ::Window xid = GDK_WINDOW_XID(window);
        long extents[4] = {0, 0, 0, 0};
        XWindowAttributes a{};
        const auto until = Clock::now() + std::chrono::seconds(3);
        while (!(XGetWindowAttributes(display, xid, &a) && a.map_state == IsViewable &&
                 FrameExtents(display, xid, extents)) &&
               Clock::now() < until)
            wxMilliSleep(2);
        stored = FormRect{120, 90, a.width + int(extents[0] + extents[1]), a.height + int(extents[2] + extents[3])};
        Registry reg;
        ASSERT_TRUE(WriteFormPlacement(reg, kFormPosKey, FormPlacement{stored, false}));
        LoadFormPlacement(kFormPosKey, frame, false);
    });
    frame->Show();
    auto onScreen = [&] {
        const test::ScreenRect r = test::FrameRect(display, GDK_WINDOW_XID(gtk_widget_get_window(frame->GetHandle())));
        return FormRect{r.x, r.y, r.width, r.height};
    };
    // Settled: unchanged over a number of looks.
    FormRect last{};
    int still = 0;
    for (const auto until = Clock::now() + std::chrono::seconds(3);
         Clock::now() < until && !(still >= 20 && last == stored);) {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
        const FormRect now = onScreen();
        still = now == last ? still + 1 : 0;
        last = now;
    }
    EXPECT_EQ(last, stored) << last.Left << "," << last.Top << " " << last.Width << "x" << last.Height << " instead of "
                            << stored.Width << "x" << stored.Height;
    EXPECT_EQ(frame->GetRect(), wxRect(stored.Left, stored.Top, stored.Width, stored.Height));
    frame->Destroy();
    XCloseDisplay(display);
}

}  // namespace
}  // namespace ql
