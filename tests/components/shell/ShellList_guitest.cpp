// The shell list on a temporary folder under the X server: it fills, follows changes made
// outside, renames with F2, deletes to the trash, drags its files out as a file list and copies
// dropped files in.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <glib.h>
#include <poll.h>
#include <wx/app.h>
#include <wx/dataobj.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/dnd.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/textctrl.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "components/shell/ShellList_wx.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/FileDropFormats.h"
#include "platform/core/Registry.h"
#include "platform/core/shell/ShellServices.h"
#include "platform/gui/DragBridge_wx.h"
#include "tests/support/GuiWait.h"
#include "tests/support/MemoryDataObject.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/ShellTestEnv.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::com;
using namespace ql::shellctl;

namespace {

void Pump()
{
    poll(nullptr, 0, 10);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    wxTheApp->ProcessPendingEvents();
}

bool WaitFor(const std::function<bool()>& done, int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        Pump();
    }
    return true;
}

// A window that takes file lists as the file managers offer them.
class UriListTarget : public wxDropTarget {
public:
    std::string received;
    int overs = 0;
    UriListTarget() : data_(new wxCustomDataObject(wxDataFormat("text/uri-list"))) { SetDataObject(data_); }
    wxDragResult OnDragOver(wxCoord, wxCoord, wxDragResult) override
    {
        ++overs;
        return wxDragCopy;
    }
    wxDragResult OnData(wxCoord, wxCoord, wxDragResult def) override
    {
        if (!GetData())
            return wxDragNone;
        received.assign(static_cast<const char*>(data_->GetData()), data_->GetSize());
        return def;
    }

private:
    wxCustomDataObject* data_;
};

class CopySource : public ComObject<IDropSource> {
public:
    HRESULT QueryContinueDrag(bool escape, DWORD) override { return escape ? DRAGDROP_S_CANCEL : S_OK; }
    HRESULT GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

class ShellListGui : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SessionRoot();  // HOME and XDG_DATA_HOME (the trash) are private to this run
        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(dpy, nullptr);
        for (const char* n : {"alpha.txt", "beta.png", "gamma.html"})
            dir.write(n, n);
        fs::create_directory(dir.path() / "pictures");
        frame.reset(new wxFrame(nullptr, wxID_ANY, "list", wxPoint(0, 0), wxSize(560, 360), wxBORDER_NONE));
        list = new TSvShellList(frame, wxID_ANY, wxPoint(0, 0), wxSize(560, 360));
        list->OnError = [this](const std::string& e) { errors.push_back(e); };
        frame->Show();
        ASSERT_TRUE(WaitFor([&] { return ql::test::MappedOnScreen(frame); }, 5000));
        list->Folder().SetPath(dir.path().string());
    }
    void TearDown() override
    {
        frame.reset();
        Pump();
        if (dpy)
            XCloseDisplay(dpy);
        EXPECT_EQ(errors, std::vector<std::string>{});
    }

    long Find(const std::string& name) const { return list->FindItem(-1, wxString::FromUTF8(name)); }
    void SelectOnly(long item)
    {
        for (long i = 0; i < list->GetItemCount(); ++i)
            list->SetItemState(i, 0, wxLIST_STATE_SELECTED);
        list->SetItemState(item, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                           wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    }
    // A key as the rows' window receives it from the toolkit.
    void Key(int code, int modifiers = wxMOD_NONE)
    {
        wxKeyEvent e(wxEVT_KEY_DOWN);
        e.m_keyCode = code;
        e.m_shiftDown = modifiers & wxMOD_SHIFT;
        e.m_controlDown = modifiers & wxMOD_CONTROL;
        e.SetEventObject(list->RowsWindow());
        list->RowsWindow()->GetEventHandler()->ProcessEvent(e);
    }
    wxPoint ItemCentre(long item)
    {
        wxRect r;
        list->GetItemRect(item, r, wxLIST_RECT_LABEL);
        return list->ClientToScreen(r.GetPosition() + wxPoint(10, r.GetHeight() / 2));  // the list's own coordinates
    }

    // Shows a second frame right of the list's. It is placed once mapped: under a window manager
    // a frame placed before its map keeps a wrong origin in the toolkit, which then refuses drops.
    void ShowBesideTheList(wxFrame* other)
    {
        other->Show();
        ASSERT_TRUE(WaitFor([&] { return ql::test::MappedOnScreen(other); }, 5000));
        other->Move(700, 0);
        ASSERT_TRUE(WaitFor([&] { return other->ClientToScreen(wxPoint(0, 0)) == wxPoint(700, 0); }, 5000));
    }

    // Presses at `from`, moves to `to` from a timer (which also runs inside a drag's own loop)
    // and releases once `arrived` holds; waits until `done`.
    void DragPointer(wxPoint from, wxPoint to, const std::function<bool()>& arrived, const std::function<bool()>& done)
    {
        struct Script {
            Display* dpy;
            wxPoint a, b;
            const std::function<bool()>* arrived;
            int step = 0;
            bool released = false;
        } script{dpy, from, to, &arrived};
        XTestFakeMotionEvent(dpy, -1, from.x, from.y, CurrentTime);
        XFlush(dpy);
        Pump();
        XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
        XFlush(dpy);
        guint timer = g_timeout_add(
            15,
            +[](gpointer p) -> gboolean {
                auto* s = static_cast<Script*>(p);
                ++s->step;
                const int x = s->step < 30 ? s->a.x + (s->b.x - s->a.x) * s->step / 30 : s->b.x + s->step % 2;
                const int y = s->step < 30 ? s->a.y + (s->b.y - s->a.y) * s->step / 30 : s->b.y;
                XTestFakeMotionEvent(s->dpy, -1, x, y, CurrentTime);
                // The button goes up at the end in any case: a drag nobody takes must end, or its
                // loop would never give the test back.
                if (!s->released && s->step >= 30 && ((*s->arrived)() || s->step == 400)) {
                    XTestFakeButtonEvent(s->dpy, 1, False, CurrentTime);
                    s->released = true;
                }
                XFlush(s->dpy);
                return s->step < 400 ? TRUE : FALSE;
            },
            &script);
        EXPECT_TRUE(WaitFor(done, 8000));
        g_source_remove(timer);
        if (!script.released) {
            XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
            XFlush(dpy);
        }
    }

    Display* dpy = nullptr;
    test::TempDir dir;
    test::OwnedFrame<> frame;
    TSvShellList* list = nullptr;
    std::vector<std::string> errors;
};

TEST_F(ShellListGui, FillsAndFollowsTheFolderOnDisk)
{
    ASSERT_EQ(list->GetItemCount(), 4);
    EXPECT_EQ(list->GetItemText(0).utf8_string(), "pictures");  // folders first, then by name
    EXPECT_EQ(list->GetItemText(1).utf8_string(), "alpha.txt");
    EXPECT_EQ(list->GetColumnCount(), 4);
    EXPECT_EQ(list->GetColumn(0, *std::make_unique<wxListItem>()), true);
    EXPECT_EQ(list->GetItemText(1, 1).utf8_string(), "1KB");
    EXPECT_EQ(list->GetSortIndicator(), 0);

    list->SetFocus();
    const auto start = std::chrono::steady_clock::now();
    dir.write("delta.txt", "new");
    ASSERT_TRUE(WaitFor([&] { return Find("delta.txt") >= 0; }, 5000)) << "a new file did not appear";
    fs::remove(dir.path() / "beta.png");
    ASSERT_TRUE(WaitFor([&] { return Find("beta.png") < 0; }, 5000)) << "a deleted file did not vanish";
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    std::printf("created and deleted outside, both shown within %lld ms\n", static_cast<long long>(ms.count()));
    EXPECT_EQ(list->GetItemCount(), 4);

    // Changed in place: the new size shows; renamed outside: the new name.
    dir.write("alpha.txt", std::string(5000, 'a'));
    EXPECT_TRUE(WaitFor([&] { return list->GetItemText(Find("alpha.txt"), 1) == "5KB"; }, 5000))
        << list->GetItemText(Find("alpha.txt"), 1);
    fs::rename(dir.path() / "gamma.html", dir.path() / "omega.html");
    EXPECT_TRUE(WaitFor([&] { return Find("omega.html") >= 0 && Find("gamma.html") < 0; }, 5000));

    // The header's arrow follows the sort: Size ascending, then descending. Selection and
    // focus stay with their item.
    SelectOnly(Find("delta.txt"));
    wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
    click.m_col = 1;
    click.SetEventObject(list);
    list->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(list->GetSortIndicator(), 1);
    EXPECT_TRUE(list->IsAscendingSortIndicator());
    list->GetEventHandler()->ProcessEvent(click);
    EXPECT_FALSE(list->IsAscendingSortIndicator());
    const long delta = Find("delta.txt");
    EXPECT_EQ(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), delta);
    EXPECT_EQ(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED), delta);

    wxBitmap shot(frame->GetClientSize());
    {
        wxMemoryDC mem(shot);
        wxClientDC screen(frame);
        mem.Blit(0, 0, shot.GetWidth(), shot.GetHeight(), &screen, 0, 0);
    }
    const char* build = std::getenv("QUILLORY_TEST_BUILD");
    fs::path out = (build ? fs::path(build) : fs::temp_directory_path()) / "artifacts";
    fs::create_directories(out);
    shot.SaveFile((out / "shell-list.png").string(), wxBITMAP_TYPE_PNG);
}

TEST_F(ShellListGui, WheelScrollsTheRows)
{
    for (int i = 0; i < 60; ++i)
        dir.write("many" + std::to_string(100 + i), "");
    list->RefreshList();
    ASSERT_EQ(list->GetItemCount(), 64);
    for (int i = 0; i < 5; ++i)
        Pump();
    EXPECT_EQ(list->GetTopItem(), 0);
    // One notch of the real wheel over the rows: the desktop's lines per notch (3).
    const wxPoint over = list->RowsWindow()->ClientToScreen(wxPoint(100, 60));
    XTestFakeMotionEvent(dpy, -1, over.x, over.y, CurrentTime);
    XTestFakeButtonEvent(dpy, 5, True, CurrentTime);
    XTestFakeButtonEvent(dpy, 5, False, CurrentTime);
    XFlush(dpy);
    EXPECT_TRUE(WaitFor([&] { return list->GetScrollPos(wxVERTICAL) == 3; }, 5000)) << list->GetScrollPos(wxVERTICAL);

    // A turn of two notches at once scrolls twice as far; back up by one.
    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.m_wheelRotation = -240;
    wheel.m_wheelDelta = 120;
    wheel.m_linesPerAction = 3;
    wheel.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    wheel.SetEventObject(list->RowsWindow());
    auto turn = [&](int rotation, int lines) {
        wheel.m_wheelRotation = rotation;
        wheel.m_linesPerAction = lines;
        list->RowsWindow()->GetEventHandler()->ProcessEvent(wheel);
        for (int i = 0; i < 5; ++i)
            Pump();
        return list->GetScrollPos(wxVERTICAL);
    };
    EXPECT_EQ(turn(-240, 3), 9);
    EXPECT_EQ(turn(120, 3), 6);
    // Page-scroll mode: a notch turns a page, more than the three lines.
    EXPECT_GT(turn(-120, -1), 9);
}

TEST_F(ShellListGui, ALinkShowsItsTargetsPictureWithTheLinkMark)
{
    fs::create_symlink(dir.path() / "beta.png", dir.path() / "shortcut");
    list->RefreshList();
    ASSERT_GE(Find("shortcut"), 0);
    auto image = [&](long item) {
        wxListItem info;
        info.SetId(item);
        info.SetMask(wxLIST_MASK_IMAGE);
        list->GetItem(info);
        return info.GetImage();
    };
    const int link = image(Find("shortcut")), target = image(Find("beta.png"));
    ASSERT_GE(link, 0);
    ASSERT_GE(target, 0);
    EXPECT_NE(link, target);
    // The same picture, and the mark drawn over part of it.
    wxImageList* images = list->GetImageList(wxIMAGE_LIST_SMALL);
    const wxImage a = images->GetBitmap(link).ConvertToImage(), b = images->GetBitmap(target).ConvertToImage();
    ASSERT_EQ(a.GetSize(), b.GetSize());
    int same = 0, differ = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x) {
            const bool equal = a.GetRed(x, y) == b.GetRed(x, y) && a.GetGreen(x, y) == b.GetGreen(x, y) &&
                               a.GetBlue(x, y) == b.GetBlue(x, y);
            (equal ? same : differ)++;
        }
    EXPECT_GT(differ, 0);
    EXPECT_GT(same, 2 * differ);
}

TEST_F(ShellListGui, TheFileManagersColumnWidthsAreRead)
{
    frame.reset();
    Pump();
    // The file manager's column data in the user's registry: Name, Size, Type, Modified.
    ASSERT_TRUE(Registry(Registry::DefaultStoreFile())
                    .WriteBinary(RegRoot::CurrentUser, kExplorerKey, kDirectoryColsValue,
                                 std::string{char(150), 0, 70, 0, 90, 0, char(130), 0}));
    frame.reset(new wxFrame(nullptr, wxID_ANY, "list", wxPoint(0, 0), wxSize(560, 360), wxBORDER_NONE));
    list = new TSvShellList(frame, wxID_ANY, wxPoint(0, 0), wxSize(560, 360));
    frame->Show();
    ASSERT_TRUE(WaitFor([&] { return ql::test::MappedOnScreen(frame); }, 5000));
    list->Folder().SetPath(dir.path().string());
    EXPECT_EQ(list->GetColumnWidth(0), 150);
    EXPECT_EQ(list->GetColumnWidth(3), 130);
    EXPECT_TRUE(
        Registry(Registry::DefaultStoreFile()).DeleteValue(RegRoot::CurrentUser, kExplorerKey, kDirectoryColsValue));
}

TEST_F(ShellListGui, OneMenuPerContextRequest)
{
    list->SetOptions(list->Options() & ~svsloContextMenus);
    int asked = 0;
    list->OnItemContextMenu = [&](TSvCustomListView&, long item, wxPoint&, wxMenu*& menu) {
        ++asked;
        EXPECT_EQ(item, Find("alpha.txt"));
        menu = nullptr;
    };
    SelectOnly(Find("alpha.txt"));
    wxContextMenuEvent click(wxEVT_CONTEXT_MENU, list->GetId(), list->ClientToScreen(wxPoint(20, 40)));
    click.SetEventObject(list);
    list->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(asked, 1);
    Key(WXK_F10, wxMOD_SHIFT);
    EXPECT_EQ(asked, 2);
    Key(WXK_F10, wxMOD_CONTROL);  // not a menu key
    EXPECT_EQ(asked, 2);
}

TEST_F(ShellListGui, F2RenamesTheFocusedItem)
{
    SelectOnly(Find("alpha.txt"));
    Key(WXK_F2);
    wxTextCtrl* edit = list->GetEditControl();
    ASSERT_NE(edit, nullptr) << "F2 did not start editing";
    edit->SetValue("omega.txt");
    list->EndEditLabel(false);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(dir.path() / "omega.txt"); }, 3000));
    EXPECT_FALSE(fs::exists(dir.path() / "alpha.txt"));
    EXPECT_EQ(dir.read("omega.txt"), "alpha.txt");
    EXPECT_GE(Find("omega.txt"), 0);
    EXPECT_LT(Find("alpha.txt"), 0);

    // A name that is taken is refused: nothing is replaced, the old caption stays.
    SelectOnly(Find("omega.txt"));
    Key(WXK_F2);
    ASSERT_NE(list->GetEditControl(), nullptr);
    list->GetEditControl()->SetValue("gamma.html");
    list->EndEditLabel(false);
    for (int i = 0; i < 20; ++i)
        Pump();
    EXPECT_EQ(dir.read("gamma.html"), "gamma.html");
    EXPECT_GE(Find("omega.txt"), 0);
}

TEST_F(ShellListGui, DeleteMovesTheSelectionToTheTrashAfterTheConfirmation)
{
    // The desktop's question, answered here.
    const shell::ShellServices desktop = shell::GetShellServices();
    ASSERT_NE(desktop.confirm, nullptr);
    test::FakeShellConfirm confirm;
    shell::SetShellServices({desktop.launcher, desktop.clipboard, &confirm});
    list->SetFocus();
    SelectOnly(Find("gamma.html"));
    confirm.trashAnswer = false;
    Key(WXK_DELETE);
    EXPECT_EQ(confirm.trashAsked, std::vector<std::vector<std::string>>{{(dir.path() / "gamma.html").string()}});
    EXPECT_TRUE(fs::exists(dir.path() / "gamma.html"));

    confirm.trashAnswer = true;
    Key(WXK_DELETE);
    shell::SetShellServices(desktop);
    EXPECT_EQ(confirm.trashAsked.size(), 2u);
    EXPECT_FALSE(fs::exists(dir.path() / "gamma.html"));
    const fs::path trash = test::SessionRoot() / "data/Trash/files";
    bool found = false;
    for (const auto& e : fs::directory_iterator(trash))
        if (e.path().filename().string().rfind("gamma", 0) == 0) {
            found = true;
            fs::remove(e.path());
        }
    EXPECT_TRUE(found);
    EXPECT_TRUE(WaitFor([&] { return Find("gamma.html") < 0; }, 5000));
}

TEST_F(ShellListGui, DraggedOutAsAFileList)
{
    test::OwnedFrame<> other(
        new wxFrame(nullptr, wxID_ANY, "target", wxDefaultPosition, wxSize(300, 300), wxBORDER_NONE));
    auto* panel = new wxPanel(other, wxID_ANY, wxPoint(0, 0), wxSize(300, 300));
    auto* target = new UriListTarget;
    panel->SetDropTarget(target);
    ShowBesideTheList(other);

    const long item = Find("alpha.txt");
    SelectOnly(item);
    DragPointer(
        ItemCentre(item), panel->GetScreenPosition() + wxPoint(150, 150), [&] { return target->overs >= 2; },
        [&] { return !target->received.empty(); });
    const std::string expected = "file://" + (dir.path() / "alpha.txt").string();
    EXPECT_NE(target->received.find(expected), std::string::npos) << target->received;
    EXPECT_TRUE(fs::exists(dir.path() / "alpha.txt"));
}

TEST_F(ShellListGui, DroppedFileIsCopiedIn)
{
    test::TempDir elsewhere;
    const fs::path outside = elsewhere.write("dropped.jpg", "picture");
    test::OwnedFrame<> other(
        new wxFrame(nullptr, wxID_ANY, "source", wxDefaultPosition, wxSize(300, 300), wxBORDER_NONE));
    auto* panel = new wxPanel(other, wxID_ANY, wxPoint(0, 0), wxSize(300, 300));
    auto data = MakeCom<test::MemoryDataObject>();
    data->blocks[CF_HDROP] = BuildHDrop({outside.string()});
    auto source = MakeCom<CopySource>();
    bool started = false;
    HRESULT result = E_FAIL;
    panel->Bind(wxEVT_MOTION, [&](wxMouseEvent& ev) {
        if (!ev.LeftIsDown() || started)
            return;
        started = true;
        DWORD effect = 0;
        result = ql::DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY, &effect, panel);
    });
    ShowBesideTheList(other);

    // Onto the empty space below the items: the shown folder takes it.
    const wxPoint empty = list->RowsWindow()->GetScreenPosition() + wxPoint(200, 250);
    int overs = 0;
    DragPointer(
        panel->GetScreenPosition() + wxPoint(150, 150), empty, [&] { return ++overs > 40; },
        [&] { return started && result != E_FAIL; });
    EXPECT_EQ(result, DRAGDROP_S_DROP);
    EXPECT_EQ(dir.read("dropped.jpg"), "picture");
    EXPECT_TRUE(fs::exists(outside));
    EXPECT_TRUE(WaitFor([&] { return Find("dropped.jpg") >= 0; }, 5000));
}

}  // namespace
