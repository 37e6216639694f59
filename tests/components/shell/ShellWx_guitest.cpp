#include <filesystem>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <typeinfo>
#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/scrolwin.h>

#include "components/shell/DeviceChangeHandler.h"
#include "components/shell/ImageComboItem_wx.h"
#include "components/shell/ShellControlsStartup_wx.h"
#include "components/shell/ShellControlsUnit.h"
#include "components/shell/ShellIcons_wx.h"
#include "components/shell/ShellScroll_wx.h"
#include "platform/core/shell/ShellFileInfo.h"
#include "platform/gui/ShellDesktop_wx.h"
#include "platform/gui/ShellMenu_wx.h"
#include "tests/support/GuiWait.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/ShellTestEnv.h"

// The MIME database behind icons and type names keeps its tables for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libgio-2.0.so\n"; }

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::shellctl;

namespace {

TEST(ShellWx, IconsShareOneIndexInBothListsAndCarryOverlays)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("a.txt", "x");
    dir.write("b.txt", "y");
    dir.write("folder/x", "");
    auto index = [&](const char* name, unsigned flags = 0) {
        auto list = shell::PathToAbsoluteIdList((dir.path() / name).string());
        return GetIconIndex(list.get(), flags);
    };
    wxImageList* small = GetSystemImageList(0);
    wxImageList* large = GetSystemImageList(1);
    ASSERT_TRUE(small && large);
    int overlay = shell::SystemImageLists::Get().OverlayImage(1);
    EXPECT_GE(overlay, 0);
    int text = index("a.txt");
    EXPECT_EQ(index("b.txt"), text);
    int folder = index("folder");
    EXPECT_NE(folder, text);
    EXPECT_NE(index("folder", shell::SHGFI_OPENICON), folder);
    EXPECT_EQ(small->GetImageCount(), large->GetImageCount());
    int w = 0, h = 0;
    small->GetSize(folder, w, h);
    EXPECT_EQ(w, 16);
    large->GetSize(folder, w, h);
    EXPECT_EQ(w, 32);
    EXPECT_TRUE(small->GetBitmap(folder).IsOk());
    // Asking again adds no overlays and no images.
    int count = small->GetImageCount();
    GetSystemImageList(0);
    index("a.txt");
    EXPECT_EQ(small->GetImageCount(), count);
    EXPECT_EQ(shell::SystemImageLists::Get().OverlayImage(1), overlay);
    EXPECT_EQ(GetIconIndex(nullptr, 0), 0);
    auto forged = *ItemIdList::FromItems({"\x09"});
    EXPECT_EQ(GetIconIndex(&forged, 0), 0);
    EXPECT_EQ(shell::IconNamesOf(ItemIdList(), false).front(), "user-desktop");
}

TEST(ShellWx, ContextMenusBecomeRealMenus)
{
    shell::PopupMenu menu;
    menu.Append({50, "&Open", shell::MF_DEFAULT, nullptr, {}});
    menu.Append({0, "", shell::MF_SEPARATOR, nullptr, {}});
    menu.Append({53, "&Paste", shell::MF_GRAYED, nullptr, {}});
    auto sub = std::make_unique<shell::PopupMenu>();
    sub->Append({1, "Entry", 0, nullptr, {"no-such-icon", "text-plain"}});
    sub->Append({2, "Plain", 0, nullptr, {}});
    menu.Append({0, "Send To", 0, std::move(sub), {}});
    auto wx = shell::BuildWxMenu(menu);
    ASSERT_EQ(wx->GetMenuItemCount(), 4u);
    EXPECT_EQ(wx->FindItemByPosition(0)->GetId(), 50);
    EXPECT_EQ(wx->FindItemByPosition(0)->GetItemLabelText(), "Open");
    EXPECT_TRUE(wx->FindItemByPosition(1)->IsSeparator());
    EXPECT_FALSE(wx->IsEnabled(53));
    EXPECT_TRUE(wx->FindItemByPosition(3)->IsSubMenu());
    EXPECT_TRUE(wx->FindItem(1));
    // An entry with icon names shows the system list's small picture of them.
    const wxBitmap picture = wx->FindItem(1)->GetBitmap();
    ASSERT_TRUE(picture.IsOk());
    EXPECT_EQ(picture.GetSize(), wxSize(16, 16));
    EXPECT_FALSE(wx->FindItem(2)->GetBitmap().IsOk());
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    EXPECT_TRUE(gtk_image_menu_item_get_always_show_image(GTK_IMAGE_MENU_ITEM(wx->FindItem(1)->GetMenuItem())));
    G_GNUC_END_IGNORE_DEPRECATIONS
}

TEST(ShellWx, CutFilesTravelThroughTheDesktopClipboard)
{
    // The test display is private to this run: no user's clipboard is touched.
    shell::WxShellClipboard clipboard;
    ASSERT_TRUE(clipboard.PutFiles({"/tmp/a b", "/tmp/ü"}, true));
    std::vector<std::string> paths;
    bool cut = false;
    ASSERT_TRUE(clipboard.GetFiles(paths, cut));
    EXPECT_EQ(paths, (std::vector<std::string>{"/tmp/a b", "/tmp/ü"}));
    EXPECT_TRUE(cut);
    clipboard.Clear();
    EXPECT_FALSE(clipboard.GetFiles(paths, cut));
}

TEST(ShellWx, WheelScrollingSendsStepsOnlyWhenThereIsSomethingToScroll)
{
    test::ActiveLoop loop;
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "scroll", wxDefaultPosition, wxSize(200, 200)));
    auto* window = new wxScrolledWindow(frame, wxID_ANY);
    window->SetScrollRate(10, 10);
    window->SetVirtualSize(150, 2000);
    frame->Show();
    // Under a window manager the frame gets its size only once the manager has placed it.
    EXPECT_TRUE(
        ql::test::PumpUntil([&] { return ql::test::MappedOnScreen(frame) && window->GetClientSize().x > 150; }));
    int x = 0, y = 0;
    ScrollByWheel(window, 1, ScrollCommand::LineUp, ScrollCommand::PageUp, 3);
    window->GetViewStart(&x, &y);
    EXPECT_EQ(y, 0);  // already at the top
    ScrollByWheel(window, 1, ScrollCommand::LineDown, ScrollCommand::PageDown, 3);
    window->GetViewStart(&x, &y);
    EXPECT_EQ(y, 3);
    ScrollByWheel(window, 1, ScrollCommand::LineDown, ScrollCommand::PageDown, -1);
    int afterPage = 0;
    window->GetViewStart(&x, &afterPage);
    EXPECT_GT(afterPage, 4);
    ScrollByWheel(window, 0, ScrollCommand::LineDown, ScrollCommand::PageDown, 3);
    window->GetViewStart(&x, &y);
    EXPECT_EQ(x, 0);  // nothing to scroll sideways
}

TEST(ShellWx, ImageComboItemsAreCheckedByClass)
{
    test::OwnedFrame<> frame(new wxFrame(nullptr, wxID_ANY, "combo"));
    auto* choice = new wxChoice(frame, wxID_ANY);
    auto* item = new TSvImageComboItem;
    item->Indent = 2;
    choice->Append("with item", item);
    choice->Append("plain");
    choice->Append("other", new wxStringClientData("x"));
    EXPECT_EQ(GetImageComboItem(*choice, 0), item);
    EXPECT_EQ(GetImageComboItem(*choice, 0)->Indent, 2);
    EXPECT_EQ(GetImageComboItem(*choice, 1), nullptr);
    EXPECT_THROW(GetImageComboItem(*choice, 2), std::bad_cast);
}

TEST(ShellWx, StartUpInstallsServicesAndRelaysDeviceChangesOnTheGuiThread)
{
    test::ActiveLoop loop;
    StartShellControls();
    EXPECT_TRUE(shell::GetShellServices().clipboard);
    EXPECT_TRUE(shell::GetShellServices().launcher);
    int calls = 0;
    DeviceChangeHandler().AddHandler(&calls, [&](TSvDeviceChangeHandler&, TMessage& m) {
        EXPECT_EQ(m.WParam, DBT_DEVICEARRIVAL);
        ++calls;
    });
    DeviceChangeHandler().WindowProc(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return calls == 1; }));
    DeviceChangeHandler().RemoveHandler(&calls);
    StopShellControls();
    EXPECT_FALSE(ShellControlsInitialised());
    shell::SetShellServices({});
}

}  // namespace
