// The editor as the first framed window of a process, as it is in the program on a later start:
// the toolkit learns the size of the window manager's frames only from that window, so the stored
// placement is first taken without the frame and set again once the window is framed, smaller
// by the frame. This test runs in a program of its own (see CMakeLists.txt).
#include "app/editor/EditorForm_wx.h"
#include "foundation/VekAdvClass.h"
#include "platform/core/Registry.h"
#include "tests/app/editor/EditorFormFixture.h"

#include <gtest/gtest.h>
#include <wx/treectrl.h>

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

// Last: the X11 headers' macros clash with names in other headers.
#include "tests/support/ProgramWindows.h"

namespace ql {
namespace {

// With the placement stored and the selected node low in a long tree: once the window has its
// stored size, frame included, the node's row shows whole in the tree (it was scrolled to at the
// size before the frame, and then cut off at the bottom).
TEST_F(EditorFormTest, TheSelectedNodeShowsWholeOnceTheWindowHasItsStoredSize)
{
    ASSERT_TRUE(test::WindowManagerRunning()) << "no window manager: run under tests/support/with-window-manager";

    std::string lines, ids;
    for (int i = 1; i <= 60; ++i) {
        const std::string id = i == 40 ? "One" : "P" + std::to_string(i);
        lines += "Node " + std::to_string(i) + "\r\n";
        ids += id + "\r\n";
        if (id != "One")
            Write(id, "<html><body>page</body></html>\r\n");
    }
    temp.write("Collection/tvframe", lines);
    temp.write("Collection/tvdata", ids);
    settings.LastNode = 39;
    const FormRect stored{200, 150, 900, 500};
    {
        Registry registry;
        ASSERT_TRUE(WriteFormPlacement(registry, kFormPosKey, FormPlacement{stored, false}));
    }
    defaultSize = true;  // the placement's
    ASSERT_NO_FATAL_FAILURE(Open());

    GdkWindow* window = gtk_widget_get_window(form->GetHandle());
    Display* display = GDK_WINDOW_XDISPLAY(window);
    const Window xid = GDK_WINDOW_XID(window);
    const wxTreeItemId item = Item("Node 40");
    ASSERT_TRUE(item.IsOk());
    EXPECT_EQ(form->TV->GetSelection(), item);
    auto placed = [&] {
        const test::ScreenRect frame = test::FrameRect(display, xid);
        return FormRect{frame.x, frame.y, frame.width, frame.height} == stored &&
               form->GetRect() == wxRect(stored.Left, stored.Top, stored.Width, stored.Height);
    };
    wxRect row;
    auto whole = [&] {
        return form->TV->GetBoundingRect(item, row) && row.y >= 0 && row.GetBottom() < form->TV->GetClientSize().y;
    };
    EXPECT_TRUE(WaitFor([&] { return placed() && whole(); }, 5000))
        << "row " << row.y << " to " << row.GetBottom() << " in a tree " << form->TV->GetClientSize().y << " high, "
        << (placed() ? "placed" : "not placed");
}

}  // namespace
}  // namespace ql
