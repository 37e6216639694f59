// The editor window's placement over several starts of the program itself, under the window
// manager: each start shows the window exactly where and as large as the one before left it,
// frame included, and a placement off the screen is brought back onto it.
#include "foundation/VekAdvClass.h"
#include "platform/core/Registry.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <signal.h>

// Last: the X11 headers' macros clash with names in other headers.
#include "tests/support/ProgramWindows.h"

namespace ql::test {
namespace {

using namespace std::chrono_literals;

// The editor's client window among the program's mapped windows: the drop zone has the same
// title, but is far narrower.
Window FindEditorBelow(Display* display, Window parent, Atom pidAtom, pid_t pid, int depth)
{
    Window root = 0, up = 0, *children = nullptr, found = 0;
    unsigned int n = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &n))
        return 0;
    for (unsigned i = 0; i < n && !found; ++i) {
        XWindowAttributes attributes;
        if (MappedWindowOf(display, children[i], pidAtom, pid) &&
            XGetWindowAttributes(display, children[i], &attributes) && attributes.width > 400)
            found = children[i];
        else if (depth > 0)
            found = FindEditorBelow(display, children[i], pidAtom, pid, depth - 1);
    }
    if (children)
        XFree(children);
    return found;
}

class EditorPlacementProgram : public ::testing::Test {
protected:
    ProgramFolder program;
    ScopedXdgEnv env{program.ConfigDir(), program.RuntimeDir()};
    Display* display = XOpenDisplay(nullptr);

    void SetUp() override
    {
        ASSERT_TRUE(display);
        program.WriteSmallCollection();
        // The editor shows at start.
        program.dir().write("gleanhoard.ini", "[set]\r\nShowMainForm=1\r\nimagechecked=0\r\nDragIncludeImage=0\r\n"
                                              "DragZoneTop=300\r\nDragZoneLeft=600\r\n");
    }
    void TearDown() override
    {
        if (display)
            XCloseDisplay(display);
    }

    FormRect Stored()
    {
        Registry reg;
        auto dword = [&](const char* name) {
            return static_cast<int>(
                static_cast<std::int32_t>(reg.ReadDWord(RegRoot::CurrentUser, kFormPosKey, name).value_or(0)));
        };
        return FormRect{dword("Left"), dword("Top"), dword("Width"), dword("Height")};
    }
    FormRect Frame(Window editor)
    {
        const ScreenRect r = FrameRect(display, editor);
        return FormRect{r.x, r.y, r.width, r.height};
    }

    // The program's override-redirect windows on the screen (its menus, tool tips).
    std::vector<Window> Popups(pid_t pid)
    {
        const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        std::vector<Window> popups;
        Window root = 0, up = 0, *children = nullptr;
        unsigned int n = 0;
        if (XQueryTree(display, DefaultRootWindow(display), &root, &up, &children, &n))
            for (unsigned i = 0; i < n; ++i) {
                XWindowAttributes a;
                if (MappedWindowOf(display, children[i], pidAtom, pid) &&
                    XGetWindowAttributes(display, children[i], &a) && a.override_redirect)
                    popups.push_back(children[i]);
            }
        if (children)
            XFree(children);
        return popups;
    }
    // Exit as the user chooses it from the keyboard: F10 opens the first menu ("Nodes"), whose
    // last item is Exit.
    void ExitByMenu(Window editor, pid_t pid)
    {
        const std::vector<Window> before = Popups(pid);
        PressKeyIn(editor, "F10");
        EXPECT_TRUE(WaitUntil([&] { return Popups(pid).size() > before.size(); }, 3s)) << "the menu did not open";
        for (const char* key : {"Up", "Return"}) {
            const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(key));
            XTestFakeKeyEvent(display, code, True, CurrentTime);
            XTestFakeKeyEvent(display, code, False, CurrentTime);
        }
        XFlush(display);
    }

    // Starts the program, waits for the editor window to settle where `expected` says (when
    // given), and gives its frame; then Exits the program by its menu (the exit saves).
    FormRect StartAndExit(const std::function<bool(const FormRect&)>& settled)
    {
        const pid_t pid = program.Start({});
        EXPECT_GT(pid, 0);
        const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        Window editor = 0;
        WaitUntil([&] { return (editor = FindEditorBelow(display, DefaultRootWindow(display), pidAtom, pid, 2)) != 0; },
                  20s);
        EXPECT_NE(editor, 0u) << program.Stderr();
        FormRect frame{};
        if (editor)
            WaitUntil([&] { return settled(frame = Frame(editor)); }, 3s);
        if (editor && whileShown)
            whileShown(editor);
        if (editor)
            ExitByMenu(editor, pid);
        else
            Signal(pid, SIGTERM);
        EXPECT_EQ(program.Wait(pid, 10s), 0) << program.Stderr();
        return frame;
    }
    std::function<void(Window)> whileShown;  // what the user does before the Exit

    bool Maximised(Window editor)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, editor, XInternAtom(display, "_NET_WM_STATE", False), 0, 16, False, XA_ATOM, &type,
                           &format, &count, &after, &data);
        int found = 0;
        for (unsigned long i = 0; data && i < count; ++i) {
            const Atom a = reinterpret_cast<Atom*>(data)[i];
            found += a == XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False) ||
                     a == XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
        }
        if (data)
            XFree(data);
        return found == 2;
    }
    // The maximise button of the frame: the window manager is asked to restore the window.
    void Restore(Window editor)
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = editor;
        e.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = 0;  // remove
        e.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_VERT", False));
        e.xclient.data.l[2] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
        e.xclient.data.l[3] = 1;  // from an application
        XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(display);
    }
};

TEST_F(EditorPlacementProgram, ThreeStartsAndExitsShowAndStoreTheSamePlacement)
{
    // The first run stores where the window manager put the window; each later start shows it
    // there, as large, and stores it unchanged.
    const FormRect first = StartAndExit([last = FormRect{}, still = 0](const FormRect& f) mutable {
        still = (f == last && f.Width > 0) ? still + 1 : 0;
        last = f;
        return still >= 20;
    });
    const FormRect stored = Stored();
    EXPECT_EQ(stored, first) << stored.Left << "," << stored.Top << " " << stored.Width << "x" << stored.Height;
    for (int start = 2; start <= 3; ++start) {
        const FormRect frame = StartAndExit([&](const FormRect& f) { return f == stored; });
        EXPECT_EQ(frame, stored) << "start " << start << ": " << frame.Left << "," << frame.Top << " " << frame.Width
                                 << "x" << frame.Height;
        const FormRect after = Stored();
        EXPECT_EQ(after, stored) << "start " << start << ": " << after.Left << "," << after.Top << " " << after.Width
                                 << "x" << after.Height;
    }
}

TEST_F(EditorPlacementProgram, APlacementOffTheScreenIsBroughtOntoItAndKeptThere)
{
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    {
        Registry reg;
        ASSERT_TRUE(WriteFormPlacement(
            reg, kFormPosKey, FormPlacement{FormRect{screenWidth - 200, screenHeight - 100, 900, 500}, false}));
    }
    auto inside = [&](const FormRect& f) {
        return f.Left >= 0 && f.Top >= 0 && f.Left + f.Width <= screenWidth && f.Top + f.Height <= screenHeight &&
               f.Width == 900 && f.Height == 500;
    };
    const FormRect first = StartAndExit(inside);
    EXPECT_TRUE(inside(first)) << first.Left << "," << first.Top << " " << first.Width << "x" << first.Height;
    EXPECT_EQ(Stored(), first);
    const FormRect second = StartAndExit([&](const FormRect& f) { return f == first; });
    EXPECT_EQ(second, first);
    EXPECT_EQ(Stored(), first);
}

TEST_F(EditorPlacementProgram, AMaximisedPlacementRestoresItsNormalBoundsAfterEachStart)
{
    // Stored maximised: the start opens maximised, and restoring it gives the stored normal
    // bounds, frame included, which Exit stores.
    const FormRect normal{200, 150, 900, 500};
    for (int start = 1; start <= 2; ++start) {
        {
            Registry reg;
            ASSERT_TRUE(WriteFormPlacement(reg, kFormPosKey, FormPlacement{normal, true}));
        }
        FormRect restored{};
        bool wasMaximised = false;
        whileShown = [&](Window editor) {
            wasMaximised = WaitUntil([&] { return Maximised(editor); }, 3s);
            Restore(editor);
            WaitUntil([&] { return !Maximised(editor) && (restored = Frame(editor)) == normal; }, 3s);
            // The manager's last word: a few looks unchanged.
            WaitUntil(
                [&, last = FormRect{}, still = 0]() mutable {
                    restored = Frame(editor);
                    still = restored == last ? still + 1 : 0;
                    last = restored;
                    return still >= 20;
                },
                3s);
        };
        StartAndExit([](const FormRect& f) { return f.Width > 1000; });
        EXPECT_TRUE(wasMaximised) << "start " << start;
        EXPECT_EQ(restored, normal) << "start " << start << ": " << restored.Left << "," << restored.Top << " "
                                    << restored.Width << "x" << restored.Height;
        EXPECT_EQ(Stored(), normal) << "start " << start;
    }
}

}  // namespace
}  // namespace ql::test
