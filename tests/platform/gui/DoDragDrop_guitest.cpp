// A drag we start (DoDragDrop) dropped on a window of our own with a registered drop target:
// our formats travel as X11 targets and come back as the same formats.
#include <gtest/gtest.h>

#include "tests/support/MemoryDataObject.h"
#include "tests/support/OwnedFrame.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <glib.h>
#include <poll.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/panel.h>

#include <chrono>
#include <functional>
#include <map>

#include "platform/core/CfHtml.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/DragFormats.h"
#include "platform/core/FileDropFormats.h"
#include "platform/gui/DragBridge_wx.h"

// Last: the X11 headers' macros clash with names in other headers.
#include "tests/support/GdkPlacement.h"

namespace ql {
namespace {

using namespace com;

using MemoryData = test::MemoryDataObject;

class Source : public ComObject<IDropSource> {
public:
    int feedback = 0;
    HRESULT QueryContinueDrag(bool escape, DWORD) override { return escape ? DRAGDROP_S_CANCEL : S_OK; }
    HRESULT GiveFeedback(DWORD) override
    {
        ++feedback;
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
};

class Target : public ComObject<IDropTarget> {
public:
    int overs = 0;
    bool dropped = false;
    std::string text, fragment;
    std::vector<std::string> files;
    HRESULT DragEnter(IDataObject*, DWORD, POINTL, DWORD* e) override
    {
        *e = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragOver(DWORD, POINTL, DWORD* e) override
    {
        ++overs;
        *e = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(IDataObject* d, DWORD, POINTL, DWORD* e) override
    {
        dropped = true;
        std::vector<std::uint8_t> b;
        if (FetchHGlobal(d, CF_TEXT, b))
            text.assign(b.begin(), b.end() - 1);
        if (FetchHGlobal(d, CF_HDROP, b))
            files = ParseHDrop(b);
        if (FetchHGlobal(d, RegisterClipboardFormat(kFormatHtml), b))
            fragment = CfHtmlFragment(std::string(b.begin(), b.end() - 1));
        *e = DROPEFFECT_COPY;
        return S_OK;
    }
};

TEST(DoDragDrop, OurFormatsReachOurDropTarget)
{
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "src", wxPoint(50, 600), wxSize(500, 200), wxBORDER_NONE));
    auto* from = new wxPanel(frame, wxID_ANY, wxPoint(0, 0), wxSize(200, 200));
    auto* to = new wxPanel(frame, wxID_ANY, wxPoint(300, 0), wxSize(200, 200));
    auto target = MakeCom<Target>();
    ASSERT_EQ(RegisterDragDrop(to, target.get()), S_OK);
    EXPECT_EQ(RegisterDragDrop(to, target.get()), DRAGDROP_E_ALREADYREGISTERED);

    auto data = MakeCom<MemoryData>();
    data->blocks[CF_TEXT] = ToTextBlock("hello drag");
    data->blocks[CF_HDROP] = BuildHDrop({"/tmp/one file.txt", "/tmp/zwei.txt"});
    data->blocks[RegisterClipboardFormat(kFormatHtml)] = ToTextBlock(BuildCfHtml("<b>bold</b>", ""));
    auto source = MakeCom<Source>();
    HRESULT result = E_FAIL;
    DWORD effect = 12345;
    DWORD okEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    bool started = false;
    from->Bind(wxEVT_MOTION, [&](wxMouseEvent& ev) {
        if (!ev.LeftIsDown() || started)
            return;
        started = true;
        result = DoDragDrop(data.get(), source.get(), okEffects, &effect, from);
    });
    frame->Show();

    auto pump = [] {
        poll(nullptr, 0, 10);
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        wxTheApp->ProcessPendingEvents();
    };
    // Under a window manager the frame is mapped, placed and laid out when the manager has done
    // its part.
    auto ready = [&] {
        return test::PlacementOf(frame).Agrees(wxPoint(50, 600)) && from->GetScreenPosition() == wxPoint(50, 600) &&
               to->GetScreenPosition() == wxPoint(350, 600);
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!ready() && std::chrono::steady_clock::now() < deadline)
        pump();
    EXPECT_TRUE(ready()) << test::PlacementOf(frame);

    // The pointer is moved by a timer, which also runs inside the drag's own event loop.
    wxPoint a = from->GetScreenPosition() + wxPoint(100, 100);
    wxPoint b = to->GetScreenPosition() + wxPoint(100, 100);
    struct Script {
        Display* dpy;
        wxPoint a, b;
        Target* target;
        int step = 0;
        bool released = false;
    };
    auto drag = [&](DWORD ok) {
        okEffects = ok;
        started = false;
        result = E_FAIL;
        effect = 12345;
        target->overs = 0;
        target->dropped = false;
        Script script{dpy, a, b, target.get()};
        XTestFakeMotionEvent(dpy, -1, a.x, a.y, CurrentTime);
        XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
        XFlush(dpy);
        guint timer = g_timeout_add(
            15,
            +[](gpointer p) -> gboolean {
                auto* s = static_cast<Script*>(p);
                ++s->step;
                int x = s->step < 30 ? s->a.x + (s->b.x - s->a.x) * s->step / 30 : s->b.x + s->step % 2;
                XTestFakeMotionEvent(s->dpy, -1, x, s->a.y, CurrentTime);
                if (s->target->overs >= 2 && !s->released) {
                    XTestFakeButtonEvent(s->dpy, 1, False, CurrentTime);
                    s->released = true;
                }
                XFlush(s->dpy);
                return s->step < 400 ? TRUE : FALSE;
            },
            &script);

        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(8);
        while (!(started && result != E_FAIL) && std::chrono::steady_clock::now() < until)
            pump();
        g_source_remove(timer);
        if (!script.released) {
            XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
            XFlush(dpy);
        }
        EXPECT_TRUE(started);
    };

    drag(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(result, DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_TRUE(target->dropped);
    EXPECT_EQ(target->text, "hello drag");
    EXPECT_EQ(target->files, (std::vector<std::string>{"/tmp/one file.txt", "/tmp/zwei.txt"}));
    EXPECT_EQ(target->fragment, "<b>bold</b>");

    // A drag that allows only a link: the target takes it, and the source hears of the drop.
    drag(DROPEFFECT_LINK);
    EXPECT_TRUE(target->dropped);
    EXPECT_EQ(result, DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_LINK);

    EXPECT_EQ(RevokeDragDrop(to), S_OK);
    EXPECT_EQ(RevokeDragDrop(to), DRAGDROP_E_NOTREGISTERED);
    EXPECT_EQ(target->RefCount(), 1u);
    frame.reset();
    pump();
    XCloseDisplay(dpy);
}

}  // namespace
}  // namespace ql
