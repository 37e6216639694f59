// The maker's browser for the tests: an X11 top-level window of class "TZephyrviewForm" that
// takes the URL message on the hand-over transport. Arguments: a mode (unused), then x and y of
// the window. It says "ready <window id>" once listening, then "<dwData> <text>" for every
// message, and quits when its input closes.
#include "platform/core/CopyDataTransport.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

int main(int argc, char** argv)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy || argc < 4)
        return 1;
    const Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), std::atoi(argv[2]), std::atoi(argv[3]), 300, 200,
                                         0, 0, WhitePixel(dpy, DefaultScreen(dpy)));
    char name[] = "zephyr", cls[] = "TZephyrviewForm";
    XClassHint hint{name, cls};
    XSetClassHint(dpy, w, &hint);
    XStoreName(dpy, w, "Zephyr");
    const long pid = ::getpid();
    XChangeProperty(dpy, w, XInternAtom(dpy, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    XMapWindow(dpy, w);
    XFlush(dpy);

    std::mutex out;
    ql::CopyDataServer server("TZephyrviewForm", [&](const ql::CopyDataMessage& m) {
        std::lock_guard lock(out);
        std::printf("%u %s\n", static_cast<unsigned>(m.dwData), m.Text().c_str());
        std::fflush(stdout);
        return std::int64_t(1);
    });
    if (!server.Listening())
        return 1;
    {
        std::lock_guard lock(out);
        std::printf("ready %lu\n", static_cast<unsigned long>(w));
        std::fflush(stdout);
    }
    pollfd fds[2] = {{0, POLLIN, 0}, {ConnectionNumber(dpy), POLLIN, 0}};
    for (;;) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
        }
        if (::poll(fds, 2, -1) < 0)
            break;
        char c;
        if ((fds[0].revents & (POLLIN | POLLHUP)) && ::read(0, &c, 1) <= 0)
            break;
    }
    XCloseDisplay(dpy);
    return 0;
}
