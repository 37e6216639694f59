#include "platform/gui/X11WindowActivator_wx.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace ql {

namespace {

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

// A property of 32-bit items (X11 hands them over as longs); empty when missing.
std::vector<unsigned long> LongsOf(Display* dpy, Window w, const char* name, Atom type)
{
    std::vector<unsigned long> out;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 1 << 16, False, type, &actualType, &format, &count,
                           &after, &data) == Success &&
        data && format == 32) {
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        out.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return out;
}

std::vector<ClientWindow> ClientWindows(Display* dpy)
{
    std::vector<ClientWindow> clients;
    for (unsigned long id : LongsOf(dpy, DefaultRootWindow(dpy), "_NET_CLIENT_LIST", XA_WINDOW)) {
        ClientWindow w;
        w.id = id;
        const auto pid = LongsOf(dpy, id, "_NET_WM_PID", XA_CARDINAL);
        w.pid = pid.empty() ? 0 : static_cast<pid_t>(pid.front());
        XClassHint hint{};
        if (XGetClassHint(dpy, id, &hint)) {
            w.resName = hint.res_name ? hint.res_name : "";
            w.resClass = hint.res_class ? hint.res_class : "";
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        clients.push_back(std::move(w));
    }
    return clients;
}

// The server's time now: a property change on a window of ours reports it.
Time ServerTime(Display* dpy)
{
    Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(dpy, w, PropertyChangeMask);
    Atom stamp = XInternAtom(dpy, "_QUILLORY_TIME", False);
    XChangeProperty(dpy, w, stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent e;
    XWindowEvent(dpy, w, PropertyChangeMask, &e);
    XDestroyWindow(dpy, w);
    return e.xproperty.time;
}

}  // namespace

bool X11WindowActivator::ActivateWindowOf(pid_t pid, const std::string& windowClass)
{
    DisplayPtr dpy(XOpenDisplay(nullptr));
    if (!dpy)
        return false;
    const auto target = ChooseWindowToActivate(ClientWindows(dpy.get()), pid, windowClass);
    if (!target)
        return false;
    const Window root = DefaultRootWindow(dpy.get());
    const auto active = LongsOf(dpy.get(), root, "_NET_ACTIVE_WINDOW", XA_WINDOW);
    XClientMessageEvent ask{};
    ask.type = ClientMessage;
    ask.window = static_cast<Window>(*target);
    ask.message_type = XInternAtom(dpy.get(), "_NET_ACTIVE_WINDOW", False);
    ask.format = 32;
    ask.data.l[0] = 1;  // asked by an application, with the time of the request
    ask.data.l[1] = static_cast<long>(ServerTime(dpy.get()));
    ask.data.l[2] = active.empty() ? 0 : static_cast<long>(active.front());
    const bool sent = XSendEvent(dpy.get(), root, False, SubstructureRedirectMask | SubstructureNotifyMask,
                                 reinterpret_cast<XEvent*>(&ask)) != 0;
    XFlush(dpy.get());
    return sent;
}

}  // namespace ql
