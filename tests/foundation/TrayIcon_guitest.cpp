#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <glib.h>
#include <wx/app.h>

#include <string>

#include "foundation/TrayIcon.h"
#include "foundation/TrayIcon_wx.h"
#include "tests/support/GuiWait.h"

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

// A notification area of the test's own, as a panel's tray is: it owns the screen's tray
// selection, announces itself, and embeds the icon window that asks to dock (XEMBED) at a
// known place on the screen.
class NotificationArea {
public:
    static constexpr int X = 1500, Y = 1100, Size = 32;

    NotificationArea() : dpy_(XOpenDisplay(nullptr))
    {
        if (!dpy_)
            return;
        const Window root = DefaultRootWindow(dpy_);
        const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(dpy_));
        tray_ = XInternAtom(dpy_, name.c_str(), False);
        opcode_ = XInternAtom(dpy_, "_NET_SYSTEM_TRAY_OPCODE", False);
        manager_ = XCreateSimpleWindow(dpy_, root, 0, 0, 1, 1, 0, 0, 0);
        XSetWindowAttributes attrs{};
        attrs.override_redirect = True;
        container_ = XCreateWindow(dpy_, root, X, Y, Size, Size, 0, CopyFromParent, InputOutput, CopyFromParent,
                                   CWOverrideRedirect, &attrs);
        // As a tray's socket does, the area decides its icons' size: their own requests to move,
        // resize or map come to it instead of taking effect.
        XSelectInput(dpy_, container_, SubstructureRedirectMask);
        XMapRaised(dpy_, container_);
        XSetSelectionOwner(dpy_, tray_, manager_, CurrentTime);
        XClientMessageEvent hello{};
        hello.type = ClientMessage;
        hello.window = root;
        hello.message_type = XInternAtom(dpy_, "MANAGER", False);
        hello.format = 32;
        hello.data.l[0] = CurrentTime;
        hello.data.l[1] = static_cast<long>(tray_);
        hello.data.l[2] = static_cast<long>(manager_);
        XSendEvent(dpy_, root, False, StructureNotifyMask, reinterpret_cast<XEvent*>(&hello));
        XSync(dpy_, False);
    }
    ~NotificationArea()
    {
        if (!dpy_)
            return;
        // As a panel that quits does: the icon's window goes back to the root, so that it is not
        // destroyed with the area while its program still uses it.
        if (icon_) {
            XReparentWindow(dpy_, icon_, DefaultRootWindow(dpy_), 0, 0);
            XSync(dpy_, False);
        }
        XSetSelectionOwner(dpy_, tray_, None, CurrentTime);
        XDestroyWindow(dpy_, container_);
        XDestroyWindow(dpy_, manager_);
        XCloseDisplay(dpy_);
    }
    bool Ok() const { return dpy_ != nullptr; }

    // Handles what arrived; true once an icon sits in the area, mapped.
    bool IconShown()
    {
        while (XPending(dpy_)) {
            XEvent e;
            XNextEvent(dpy_, &e);
            if (e.type == ClientMessage && e.xclient.message_type == opcode_ && e.xclient.data.l[1] == 0 && !icon_)
                Dock(static_cast<Window>(e.xclient.data.l[2]));
            else if (e.type == MapRequest)
                XMapWindow(dpy_, e.xmaprequest.window);
            else if (e.type == ConfigureRequest && e.xconfigurerequest.window == icon_)
                KeepIconGeometry();
        }
        XWindowAttributes a{};
        return icon_ && XGetWindowAttributes(dpy_, icon_, &a) && a.map_state == IsViewable;
    }
    // A click on the icon; the server makes it `laterMs` after the requests before it and
    // answers this connection only then.
    void Click(unsigned long laterMs = CurrentTime)
    {
        XTestFakeMotionEvent(dpy_, -1, X + Size / 2, Y + Size / 2, CurrentTime);
        XTestFakeButtonEvent(dpy_, 1, True, laterMs);
        XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
        XSync(dpy_, False);
    }

private:
    // The icon keeps the place and size the area gave it; it is told so, as a socket tells its plug.
    void KeepIconGeometry()
    {
        XConfigureEvent told{};
        told.type = ConfigureNotify;
        told.event = icon_;
        told.window = icon_;
        told.x = X;
        told.y = Y;
        told.width = Size;
        told.height = Size;
        XSendEvent(dpy_, icon_, False, StructureNotifyMask, reinterpret_cast<XEvent*>(&told));
        XFlush(dpy_);
    }
    void Dock(Window icon)
    {
        icon_ = icon;
        XReparentWindow(dpy_, icon, container_, 0, 0);
        XResizeWindow(dpy_, icon, Size, Size);
        XClientMessageEvent notify{};  // XEMBED_EMBEDDED_NOTIFY
        notify.type = ClientMessage;
        notify.window = icon;
        notify.message_type = XInternAtom(dpy_, "_XEMBED", False);
        notify.format = 32;
        notify.data.l[0] = CurrentTime;
        notify.data.l[1] = 0;
        notify.data.l[3] = static_cast<long>(container_);
        XSendEvent(dpy_, icon, False, NoEventMask, reinterpret_cast<XEvent*>(&notify));
        XMapWindow(dpy_, icon);
        XSync(dpy_, False);
    }

    Display* dpy_;
    Atom tray_ = None, opcode_ = None;
    Window manager_ = None, container_ = None, icon_ = None;
};

TEST(TrayIconOnTheDesktop, TwoQuickClicksOnTheIconAreADoubleClick)
{
    test::ActiveLoop loop;
    NotificationArea area;
    ASSERT_TRUE(area.Ok());
    ASSERT_TRUE(TrayAvailable());
    TTrayIcon icon(MakeWxTrayShell());
    std::vector<std::string> seen;
    icon.OnClick = [&](TTrayIcon*) { seen.push_back("click"); };
    icon.OnDblClick = [&](TTrayIcon*) { seen.push_back("dbl"); };
    icon.SetActive(true);
    icon.SetIcon(TIcon{16, 16, std::vector<std::uint8_t>(16 * 16 * 4, 200)});
    icon.SetToolTip("Quillory");
    ASSERT_TRUE(test::PumpUntil([&] { return area.IconShown(); }));

    // Two clicks as a user makes them, well within the desktop's double-click time.
    area.Click();
    area.Click();
    EXPECT_TRUE(test::PumpUntil([&] { return area.IconShown() && seen.size() >= 3; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "dbl", "click"}));

    // Two clicks well apart are two clicks, even when the program, busy meanwhile, handles them
    // one right after the other: their own times count, not when they are handled.
    seen.clear();
    area.Click();
    area.Click(1000);  // this thread handles nothing meanwhile
    // The second click's messages all come at once: two entries, or three for a double click.
    EXPECT_TRUE(test::PumpUntil([&] { return area.IconShown() && seen.size() >= 2; }));
    EXPECT_EQ(seen, (std::vector<std::string>{"click", "click"}));
    icon.SetActive(false);
}

}  // namespace
}  // namespace ql
