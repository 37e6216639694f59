#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <glib.h>
#include <wx/app.h>

#include <string>

#include "foundation/TrayIcon.h"
#include "foundation/TrayIcon_wx.h"

namespace ql {
namespace {

// The desktop's shell with every call noted on the way through.
class Noting : public TrayShell {
public:
    Noting(std::unique_ptr<TrayShell> inner, std::vector<std::string>& log) : inner_(std::move(inner)), log_(log) {}
    void Attach(std::function<void(std::uint32_t, std::uint32_t)> p) override { inner_->Attach(std::move(p)); }
    bool NotifyIcon(std::uint32_t op, const NotifyIconData& d) override
    {
        log_.push_back(std::to_string(op) + ":" + d.szTip);
        return inner_->NotifyIcon(op, d);
    }
    void PostMessage(std::uint32_t m) override { inner_->PostMessage(m); }
    TPoint CursorPos() override { return inner_->CursorPos(); }
    void PrepareForPopup() override { inner_->PrepareForPopup(); }
    void PopupMenu(TrayMenu& m, TPoint at) override { inner_->PopupMenu(m, at); }

private:
    std::unique_ptr<TrayShell> inner_;
    std::vector<std::string>& log_;
};

// A notification area is whoever owns the screen's tray selection: the test plays one.
TEST(TrayIconOnTheDesktop, ReportsWhetherANotificationAreaExists)
{
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(dpy));
    Atom tray = XInternAtom(dpy, name.c_str(), False);
    if (XGetSelectionOwner(dpy, tray) != None) {
        EXPECT_TRUE(TrayAvailable());  // a real one: left alone
        XCloseDisplay(dpy);
        return;
    }
    EXPECT_FALSE(TrayAvailable());
    Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(dpy, tray, w, CurrentTime);
    XSync(dpy, False);
    ASSERT_EQ(XGetSelectionOwner(dpy, tray), w);
    EXPECT_TRUE(TrayAvailable());
    XSetSelectionOwner(dpy, tray, None, CurrentTime);
    XSync(dpy, False);
    EXPECT_FALSE(TrayAvailable());
    XDestroyWindow(dpy, w);
    XCloseDisplay(dpy);
}

TEST(TrayIconOnTheDesktop, PostedTooltipRefreshArrivesThroughTheEventLoop)
{
    std::vector<std::string> log;
    {
        TTrayIcon icon(std::make_unique<Noting>(MakeWxTrayShell(), log));
        icon.SetActive(true);  // no tooltip yet: a refresh is posted
        icon.SetToolTip("Quillory");
        log.clear();
        for (int i = 0; i < 50 && log.empty(); ++i) {
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
            wxTheApp->ProcessPendingEvents();
        }
        EXPECT_EQ(log, std::vector<std::string>{"1:Quillory"});
    }
    EXPECT_EQ(log.back(), "2:Quillory");
}

}  // namespace
}  // namespace ql
