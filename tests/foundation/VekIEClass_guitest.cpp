// The URL hand-over with real peers: a browser window of another process that is brought to
// the front through the window manager once it took the URL, and a real browser engine that
// sends POST data from the page the desktop's browser is given.
#include "foundation/VekIEClass.h"
#include "platform/gui/X11WindowActivator_wx.h"
#include "tests/support/DragSourceProcess.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/GuiWait.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"

#include <X11/Xatom.h>
#include <gdk/gdkx.h>
#include <gtest/gtest.h>
#include <wx/frame.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <thread>

namespace ql {
namespace {

using namespace std::chrono_literals;

unsigned long ActiveWindow(Display* dpy)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    unsigned long active = 0;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False), 0, 1, False,
                           XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data && count == 1)
        active = *reinterpret_cast<unsigned long*>(data);
    if (data)
        XFree(data);
    return active;
}

TEST(BrowserWindow, TheWindowThatTookTheUrlComesToTheFront)
{
    test::ActiveLoop loop;
    test::ScopedXdgEnv env;  // the helper inherits the runtime folder its socket goes to
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    test::DragSource browser(QL_BROWSER_WINDOW, "window", 700, 300);
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            browser.Read();
            return !browser.lines.empty();
        },
        10s));
    ASSERT_EQ(browser.lines[0].rfind("ready ", 0), 0u) << browser.lines[0];
    const unsigned long browserWindow = std::stoul(browser.lines[0].substr(6));

    // Our own window is in front when the URL goes out.
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "ours", wxDefaultPosition, wxSize(300, 200)));
    frame->Show();
    ASSERT_TRUE(test::PumpUntil([&] { return test::MappedOnScreen(frame); }));
    const unsigned long ours = GDK_WINDOW_XID(gtk_widget_get_window(frame->GetHandle()));
    frame->Raise();
    ASSERT_TRUE(test::PumpUntil([&] { return ActiveWindow(dpy) == ours; })) << ActiveWindow(dpy);

    test::FakeLauncher launcher;
    X11WindowActivator front;
    EXPECT_TRUE(OpenUrl("http://example.org/page", "", launcher, front));
    EXPECT_TRUE(launcher.opened.empty());  // nothing else started
    EXPECT_TRUE(test::PumpUntil([&] {
        browser.Read();
        return browser.Said("39321 http://example.org/page");
    }));
    EXPECT_TRUE(test::PumpUntil([&] { return ActiveWindow(dpy) == browserWindow; }))
        << std::hex << ActiveWindow(dpy) << " instead of " << browserWindow;
    frame.reset();
    XCloseDisplay(dpy);
}

TEST(BrowserPost, AnEngineSendsThePostDataOfTheFormPage)
{
    test::ScopedXdgEnv env;
    test::LocalHttpServer server([](const std::string&) { return test::HttpResponse("200 OK", "text/plain", "ok"); });
    ASSERT_GT(server.Port(), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/search";
    test::FakeLauncher launcher;
    ASSERT_TRUE(OpenInNewBrowser(url, "q=caf%C3%A9+au+lait&page=2", launcher));
    ASSERT_EQ(launcher.opened.size(), 1u);

    // The desktop's browser: Chromium with a profile of its own, headless.
    test::TempDir profile;
    const std::vector<std::string> args{"chromium",
                                        "--headless=new",
                                        "--no-sandbox",
                                        "--disable-gpu",
                                        "--user-data-dir=" + profile.dir(),
                                        "--disable-background-networking",
                                        "--disable-component-update",
                                        "--disable-sync",
                                        "--no-first-run",
                                        "--disable-quic",
                                        "file://" + launcher.opened[0]};
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    ASSERT_EQ(posix_spawnp(&pid, "chromium", &fa, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&fa);

    std::string post;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (post.empty() && std::chrono::steady_clock::now() < deadline) {
        for (const auto& r : server.Requests())
            if (r.rfind("POST /search ", 0) == 0)
                post = r;
        std::this_thread::sleep_for(20ms);
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 250 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(20ms);
    if (::waitpid(pid, &status, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    ASSERT_FALSE(post.empty()) << "no POST arrived";
    EXPECT_NE(post.find("Content-Type: application/x-www-form-urlencoded"), std::string::npos) << post;
    EXPECT_EQ(post.substr(post.find("\r\n\r\n") + 4), "q=caf%C3%A9+au+lait&page=2");
}

}  // namespace
}  // namespace ql
