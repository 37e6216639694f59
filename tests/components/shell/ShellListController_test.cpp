#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "components/shell/ShellItemUtils.h"
#include "components/shell/ShellListController.h"
#include "components/shell/ShellListFileFilter.h"
#include "components/shell/ShellListKeys.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/FileDropFormats.h"
#include "platform/core/Registry.h"
#include "platform/core/shell/ShellFileInfo.h"
#include "platform/core/shell/ShellItems.h"
#include "platform/core/shell/ShellObjects.h"
#include "platform/core/shell/ShellServices.h"
#include "tests/components/shell/ShellListFake.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/MemoryDataObject.h"
#include "tests/support/ProgramFolder.h"  // WaitUntil
#include "tests/support/ShellTestEnv.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::com;
using namespace ql::shellctl;

namespace {

constexpr TSvShellListOptions kStill = kDefaultShellListOptions & ~svsloDynamicRefresh;

class ShellList : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SessionRoot();
        InitShellControls();
        ColumnWidthCache().clear();
        SavedDirectoryCols() = SavedColumns{};
        // Other tests of this program change the process's shortcut table; start from the
        // program's own keys.
        EnsureCommandShortcuts();
        for (auto& entry : CommandShortcuts())
            entry.code = TextToShortCut(LoadShConst(entry.text));
        list.SetOptions(kStill);
        list.WindowCreated();
    }
    void TearDown() override { FinalizeShellControls(); }

    void Show(const fs::path& folder) { list.Folder.SetPath(folder.string()); }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> n;
        for (int i = 0; i < list.Count(); ++i)
            n.push_back(list.ItemText(i, 0));
        return n;
    }
    int IndexOf(const std::string& name) const
    {
        auto n = Names();
        auto it = std::find(n.begin(), n.end(), name);
        return it == n.end() ? -1 : static_cast<int>(it - n.begin());
    }

    test::TempDir dir;
    test::FakeShellListView view;
    ShellListController list{view};
};

TEST_F(ShellList, FillsFoldersFirstThenByNameAndAppliesTheFileFilter)
{
    dir.write("b.htm", "");
    dir.write("a.txt", "");
    dir.write("c.jpg", "");
    fs::create_directory(dir.path() / "d");
    Show(dir.path());
    EXPECT_EQ(Names(), (std::vector<std::string>{"d", "a.txt", "b.htm", "c.jpg"}));
    EXPECT_EQ(view.rows.size(), 4u);
    EXPECT_EQ(view.focused, 0);
    EXPECT_EQ(view.sortMarkColumn, 0);
    EXPECT_TRUE(view.sortMarkAscending);

    list.SetFileFilter("*.TXT;;*.htm");
    EXPECT_EQ(Names(), (std::vector<std::string>{"d", "a.txt", "b.htm"}));
    list.SetFileFilter("*.zzz;*.jpg");  // a pattern that finds nothing leaves the others working
    EXPECT_EQ(Names(), (std::vector<std::string>{"d", "c.jpg"}));
    list.SetFileFilter("*.*");
    EXPECT_EQ(list.Count(), 4);

    // Names are matched as they were when the fill began.
    auto names = BuildFileFilter(dir.path().string(), "*.txt", SplitFileFilter("*.txt"));
    ASSERT_TRUE(names);
    EXPECT_TRUE(MatchesFileFilter(*names, "A.TXT", false));
    EXPECT_FALSE(MatchesFileFilter(*names, "later.txt", false));
    EXPECT_TRUE(MatchesFileFilter(*names, "anything", true));
    EXPECT_FALSE(BuildFileFilter("", "*.txt", {"*.txt"}));
    EXPECT_FALSE(BuildFileFilter(dir.path().string(), "*", {"*"}));
}

TEST_F(ShellList, OptionChangesActOnce)
{
    ShellListOptionActions a = OptionChangeActions(kDefaultShellListOptions, kDefaultShellListOptions);
    EXPECT_FALSE(a.registerDrop || a.revokeDrop || a.startWatching || a.stopWatching || a.refresh);
    a = OptionChangeActions(kDefaultShellListOptions, kDefaultShellListOptions & ~svsloOleDrop);
    EXPECT_TRUE(a.revokeDrop);
    EXPECT_FALSE(a.registerDrop || a.refresh);

    EXPECT_EQ(view.registrations, 1);
    list.SetOptions(kStill);
    EXPECT_EQ(view.registrations, 1);
    list.SetOptions(kStill & ~svsloOleDrop);
    EXPECT_FALSE(view.dropRegistered);
    list.SetOptions(kStill);
    EXPECT_EQ(view.registrations, 2);

    dir.write("shown", "");
    dir.write(".hidden", "");
    Show(dir.path());
    EXPECT_EQ(list.Count(), 2);
    const int fills = view.clears;
    list.SetOptions(kStill & ~svsloShowHidden);  // refreshes: the hidden file goes, nothing refills
    EXPECT_EQ(Names(), (std::vector<std::string>{"shown"}));
    EXPECT_EQ(view.clears, fills);
    list.SetOptions(kStill & ~svsloShowHidden);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(ShellList, SortCycleIsStableByNameAndResetsAForeignColumn)
{
    dir.write("b", "12");
    dir.write("c", "1");
    dir.write("a", "12");
    fs::create_directory(dir.path() / "z");
    Show(dir.path());
    view.Select(IndexOf("c"));

    const std::vector<std::string> ascending{"z", "c", "a", "b"};  // the folder, then by size, equal sizes by name
    list.ColumnClick(1);
    EXPECT_EQ(list.SortColumn(), 2);
    EXPECT_EQ(view.sortMarkColumn, 1);
    EXPECT_TRUE(view.sortMarkAscending);
    EXPECT_EQ(Names(), ascending);
    list.ColumnClick(1);
    EXPECT_EQ(list.SortColumn(), -2);
    EXPECT_FALSE(view.sortMarkAscending);
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "a", "c", "z"}));
    list.ColumnClick(1);
    EXPECT_EQ(Names(), ascending);
    list.ColumnClick(0);  // by name: the folder first
    EXPECT_EQ(Names(), (std::vector<std::string>{"z", "a", "b", "c"}));
    list.ColumnClick(1);
    // The selection went with its item.
    EXPECT_EQ(view.SelectedIndices(), std::vector<int>{IndexOf("c")});

    // A handler that sorts itself keeps the click from sorting.
    list.OnColumnClick = [&](int) { list.SetSortColumn(-1); };
    list.ColumnClick(3);
    EXPECT_EQ(list.SortColumn(), -1);
    list.OnColumnClick = nullptr;

    list.SetSortColumn(-9);
    Show(dir.path() / "z");
    EXPECT_EQ(list.SortColumn(), 1);
    EXPECT_EQ(view.sortMarkColumn, 0);
}

TEST_F(ShellList, ColumnWidthsFromTheColumnDataAndFromTheLastList)
{
    test::ScopedXdgEnv env;
    Registry registry(env.root().path() / "registry");
    list.ColumnRegistry = &registry;
    fs::create_directory(dir.path() / "one");
    fs::create_directory(dir.path() / "two");

    Show(dir.path() / "one");
    ASSERT_EQ(view.columns.size(), 4u);
    EXPECT_EQ(view.columns[0].caption, "Name");
    EXPECT_EQ(view.columns[1].align, ColumnAlign::Right);
    EXPECT_EQ(view.ColumnWidths(), (std::vector<int>{200, 60, 100, 120}));

    // The user widens Name: the next folder keeps that.
    view.columns[0].width = 333;
    Show(dir.path() / "two");
    EXPECT_EQ(view.ColumnWidths(), (std::vector<int>{333, 60, 100, 120}));

    // New column data wins over the cache.
    std::string cols = {char(150), 0, 70, 0, 90, 0, char(130), 0};
    ASSERT_TRUE(registry.WriteBinary(RegRoot::CurrentUser, kExplorerKey, kDirectoryColsValue, cols));
    Show(dir.path() / "one");
    EXPECT_EQ(view.ColumnWidths(), (std::vector<int>{150, 70, 90, 130}));

    ASSERT_TRUE(registry.WriteBinary(RegRoot::CurrentUser, kExplorerKey, kDirectoryColsValue, std::string(24, '\x01')));
    EXPECT_EQ(ReadDirectoryCols(&registry).count, 10u);

    std::vector<std::uint8_t> cache;
    SaveColumnWidths({5, 6}, cache);
    cache.resize(8);  // the second width is cut off
    std::vector<ListColumn> c(3, ListColumn{"", 1});
    RestoreColumnWidths(cache, c);
    EXPECT_EQ(c[0].width, 5);
    EXPECT_EQ(c[1].width, 1);
}

TEST_F(ShellList, RefreshDeletesAndAddsOnlyTheDifference)
{
    for (const char* n : {"a", "b", "c", "d"})
        dir.write(n, "");
    Show(dir.path());
    view.Select(IndexOf("b"));
    view.focused = IndexOf("b");
    const int inserts = view.inserts;
    std::vector<std::string> told;
    list.OnDeleteItem = [&](int index, TSvShListData& data) {
        EXPECT_EQ(list.ItemData(index), &data);
        told.push_back(data.DisplayName());
    };

    fs::remove(dir.path() / "c");
    list.RefreshList();
    EXPECT_EQ(view.deletes, 1);
    EXPECT_EQ(told, std::vector<std::string>{"c"});
    EXPECT_EQ(view.inserts, inserts);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(view.SelectedIndices(), std::vector<int>{1});
    EXPECT_EQ(view.focused, 1);

    dir.write("0new", "");  // new items go to the end, unsorted
    list.RefreshList();
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "d", "0new"}));

    // The folder cannot be read: the refresh gives up and the list keeps what it shows.
    fs::rename(dir.path(), dir.path().string() + ".away");
    list.RefreshList();
    EXPECT_EQ(list.Count(), 4);
    fs::rename(dir.path().string() + ".away", dir.path());
}

TEST_F(ShellList, FilesChangedInPlaceOrRenamedOutsideShowTheirNewState)
{
    dir.write("picture.png", std::string(300 * 1024, 'x'));
    dir.write("notes.txt", "n");
    dir.write("old name.txt", "o");
    Show(dir.path());
    const int picture = IndexOf("picture.png");
    EXPECT_EQ(list.ItemText(picture, 1), FormatFileSize(300 * 1024));

    // Edited outside: three bytes now. The refresh the notification brings shows it; the item
    // keeps its place and nothing else is redrawn.
    dir.write("picture.png", "abc");
    list.ChangeNotification();
    list.RefreshTimerFired();
    EXPECT_EQ(IndexOf("picture.png"), picture);
    EXPECT_EQ(list.ItemText(picture, 1), FormatFileSize(3));
    EXPECT_EQ(view.updated, std::vector<int>{picture});

    // Renamed outside: the old name goes, the new one comes.
    fs::rename(dir.path() / "old name.txt", dir.path() / "new name.txt");
    list.RefreshList();
    EXPECT_EQ(IndexOf("old name.txt"), -1);
    EXPECT_NE(IndexOf("new name.txt"), -1);
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(ShellList, ALinkToAFileIsMarkedAndHiddenFilesAreDimmed)
{
    dir.write("photo.jpg", "j");
    dir.write(".secret", "s");
    fs::create_symlink(dir.path() / "photo.jpg", dir.path() / "shortcut");
    Show(dir.path());
    EXPECT_EQ(list.ItemOverlay(IndexOf("shortcut")), 1);
    EXPECT_EQ(list.ItemOverlay(IndexOf("photo.jpg")), -1);
    EXPECT_TRUE(list.ItemHidden(IndexOf(".secret")));
    EXPECT_FALSE(list.ItemHidden(IndexOf("photo.jpg")));
    // The link shows its target's picture.
    const auto target = shell::IconNamesOf(*shell::PathToAbsoluteIdList((dir.path() / "photo.jpg").string()), false);
    EXPECT_EQ(shell::IconNamesOf(*list.ItemData(IndexOf("shortcut"))->AbsoluteIdList(), false), target);
    EXPECT_NE(shell::IconNamesOf(*shell::PathToAbsoluteIdList((dir.path() / ".secret").string()), false), target);
}

TEST_F(ShellList, ADropOfTheListsOwnDragIsSortedIn)
{
    dir.write("b", "");
    dir.write("d", "");
    Show(dir.path());
    view.Select(IndexOf("d"));
    view.dragHandler = [&](IDataObject*, IDropSource*, DWORD, DWORD* effect) {
        dir.write("a", "");  // what the drop brought
        *effect = DROPEFFECT_COPY;
        return DRAGDROP_S_DROP;
    };
    list.StartOleDrag(0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "d"}));
    EXPECT_EQ(view.SelectedIndices(), std::vector<int>{IndexOf("d")});
}

TEST_F(ShellList, NotificationsWaitForTheTimerAndSurviveADragOrAnEdit)
{
    dir.write("a", "");
    fs::create_directory(dir.path() / "other");
    dir.write("other/x", "");
    Show(dir.path());

    list.ChangeNotification();
    EXPECT_EQ(view.timerDelay, kRefreshDelayFocused);
    view.focus = false;
    list.ChangeNotification();
    EXPECT_EQ(view.timerDelay, kRefreshDelayUnfocused);

    // A change during the list's own drag is shown when the drag ends.
    view.Select(IndexOf("a"));
    view.dragHandler = [&](IDataObject*, IDropSource*, DWORD, DWORD* effect) {
        dir.write("during", "");
        list.ChangeNotification();
        list.RefreshTimerFired();
        EXPECT_TRUE(list.RefreshPending());
        EXPECT_EQ(list.Count(), 2);
        *effect = DROPEFFECT_NONE;
        return DRAGDROP_S_CANCEL;
    };
    list.StartOleDrag(0);
    EXPECT_FALSE(list.Dragging());
    EXPECT_FALSE(list.RefreshPending());
    EXPECT_NE(IndexOf("during"), -1);

    // A new folder asked for during a drag is shown afterwards.
    view.dragHandler = [&](IDataObject*, IDropSource*, DWORD, DWORD*) {
        list.Folder.SetPath((dir.path() / "other").string());
        EXPECT_EQ(IndexOf("x"), -1);
        return DRAGDROP_S_CANCEL;
    };
    list.StartOleDrag(0);
    EXPECT_EQ(Names(), std::vector<std::string>{"x"});

    // One asked for during a label edit waits for its end, cancelled or not.
    view.editing = true;
    dir.write("other/y", "");
    list.RefreshList();
    EXPECT_EQ(list.Count(), 1);
    view.editing = false;
    list.LabelEditCancelled();
    EXPECT_EQ(list.Count(), 2);

    // An unknown button starts no drag.
    bool dragged = false;
    view.Select(0);
    view.dragHandler = [&](IDataObject*, IDropSource*, DWORD, DWORD*) {
        dragged = true;
        return DRAGDROP_S_CANCEL;
    };
    list.StartOleDrag(7);
    EXPECT_FALSE(dragged);
}

TEST_F(ShellList, RenamesAreCheckedNeverReplaceAndClearTheFlagWhenNothingHappened)
{
    dir.write("a", "A");
    dir.write("b", "B");
    Show(dir.path());
    const int a = IndexOf("a");
    ASSERT_TRUE(list.CanEdit(a));

    EXPECT_EQ(CheckNewName("a", "a"), RenameCheck::Unchanged);
    EXPECT_EQ(CheckNewName("a", "x/y"), RenameCheck::Invalid);
    EXPECT_EQ(CheckNewName("a", ".."), RenameCheck::Invalid);
    EXPECT_EQ(CheckNewName("a", ""), RenameCheck::Invalid);

    for (const char* refused : {"b", "x/y", "a", ""}) {
        EXPECT_FALSE(list.EndLabelEdit(a, refused)) << refused;
        EXPECT_FALSE(list.Renaming()) << refused;
    }
    EXPECT_EQ(dir.read("b"), "B");
    EXPECT_EQ(dir.read("a"), "A");

    ASSERT_TRUE(list.EndLabelEdit(a, "renamed"));
    EXPECT_EQ(list.ItemText(a, 0), "renamed");
    EXPECT_EQ(dir.read("renamed"), "A");
    EXPECT_TRUE(list.Renaming());
    list.ChangeNotification();  // the rename's own notification
    EXPECT_EQ(view.timerDelay, 0);
    list.ChangeNotification();
    EXPECT_NE(view.timerDelay, 0);
}

TEST_F(ShellList, KeysOfTheCommandTable)
{
    EXPECT_EQ(ListKeyDispatch(scCtrl | 'A'), ListKeyAction::SelectAll);
    EXPECT_EQ(ListKeyDispatch(0x74), ListKeyAction::Refill);
    EXPECT_EQ(ListKeyDispatch(scCtrl | 'C'), ListKeyAction::Copy);
    EXPECT_EQ(ListKeyDispatch(scCtrl | 'X'), ListKeyAction::Cut);
    EXPECT_EQ(ListKeyDispatch(scCtrl | 'V'), ListKeyAction::Paste);
    EXPECT_EQ(ListKeyDispatch(0x71), ListKeyAction::Rename);
    EXPECT_EQ(ListKeyDispatch(0x2E), ListKeyAction::Delete);
    EXPECT_EQ(ListKeyDispatch(scShift | 0x2E), ListKeyAction::Delete);
    EXPECT_EQ(ListKeyDispatch(scCtrl | 0x2E), ListKeyAction::None);
    EXPECT_EQ(ListKeyDispatch('A'), ListKeyAction::None);
    EXPECT_EQ(ListCharDispatch(kKeyBack), ListCharAction::FolderUp);
    EXPECT_EQ(ListCharDispatch(kKeyReturn), ListCharAction::OpenSelection);

    fs::create_directory(dir.path() / "sub");
    dir.write("sub/f", "");
    dir.write("sub/g", "");
    Show(dir.path() / "sub");
    view.focused = -1;
    EXPECT_TRUE(list.KeyDown(0x71));  // F2 without a focused item: consumed, nothing edited
    EXPECT_FALSE(view.editing);
    EXPECT_TRUE(list.KeyDown(scCtrl | 'A'));
    EXPECT_EQ(view.SelectedIndices().size(), 2u);
    view.focused = 0;
    EXPECT_TRUE(list.KeyDown(0x71));
    EXPECT_TRUE(view.editing);
    EXPECT_FALSE(list.KeyChar(kKeyBack));  // not while editing
    view.editing = false;

    // Enter on a folder opens it; Backspace goes up again.
    EXPECT_TRUE(list.KeyChar(kKeyBack));
    EXPECT_EQ(list.Folder.GetPath(), dir.path().string());
    for (auto& r : view.rows)
        r.selected = false;
    view.Select(IndexOf("sub"));
    EXPECT_TRUE(list.KeyChar(kKeyReturn));
    EXPECT_EQ(list.Folder.GetPath(), (dir.path() / "sub").string());

    list.SetOptions(kStill & ~svsloDefaultKeyHandling);
    EXPECT_FALSE(list.KeyDown(0x71));
    list.SetOptions(kStill | svsloDontChangeFolder);
    list.FolderUp(1);
    EXPECT_EQ(list.Folder.GetPath(), (dir.path() / "sub").string());
}

TEST_F(ShellList, OpeningDocumentsFoldersAndLinks)
{
    test::FakeLauncher launcher;
    shell::SetShellServices({&launcher, nullptr, nullptr});
    dir.write("doc.txt", "");
    dir.write("other.txt", "");
    dir.write("target/inside", "");
    fs::create_directory_symlink(dir.path() / "target", dir.path() / "link");
    Show(dir.path());

    // A document: the handler may take it over; otherwise it is opened.
    bool handle = true;
    int asked = 0;
    list.OnDblClickOpen = [&](bool& handled) {
        ++asked;
        handled = handle;
    };
    view.Select(IndexOf("doc.txt"));
    list.OpenSelection();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(launcher.opened.empty());
    handle = false;
    list.OpenSelection();
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0], (dir.path() / "doc.txt").string());

    // Two documents: one default command over both.
    view.Select(IndexOf("other.txt"));
    list.OpenSelection();
    EXPECT_EQ(launcher.opened.size(), 3u);

    // A link to a folder shows the folder's contents.
    for (auto& r : view.rows)
        r.selected = false;
    view.Select(IndexOf("link"));
    list.OpenSelection();
    EXPECT_EQ(Names(), std::vector<std::string>{"inside"});
    EXPECT_EQ(launcher.opened.size(), 3u);

    // A folder that does not exist: the locator names the desktop, whose items are shown.
    Show(dir.path() / "missing");
    EXPECT_EQ(list.Folder.GetPath(), "");
    EXPECT_GT(list.Count(), 0);
    shell::SetShellServices({});
}

TEST(ShellListLife, FillsOnceItsWindowExistsAndRefreshesOnDeviceChanges)
{
    test::SessionRoot();
    InitShellControls();
    test::TempDir dir;
    dir.write("a", "");
    test::FakeShellListView view;
    ShellListController list(view);
    list.SetOptions(kStill);
    list.Folder.SetPath(dir.path().string());
    EXPECT_EQ(list.Count(), 0);  // no window yet: nothing to fill
    list.WindowCreated();
    ASSERT_TRUE(list.AutoFillWanted());
    list.FillIfEmpty();
    EXPECT_EQ(list.Count(), 1);
    EXPECT_FALSE(list.AutoFillWanted());

    dir.write("b", "");
    TMessage other{WM_DEVICECHANGE, 0x0007, 0, 0};
    list.DeviceChanged(other);
    EXPECT_EQ(list.Count(), 1);
    TMessage arrival{WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0, 0};
    list.DeviceChanged(arrival);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(DriveRefreshCount(), 0);

    // Up from the file-system root is Computer; up from there the desktop, and no further.
    list.Folder.SetPath("/");
    ASSERT_GT(list.Count(), 0);
    list.FolderUp(1);
    EXPECT_EQ(list.Folder.GetPath(), "");
    ASSERT_TRUE(list.Folder.GetIdList());
    EXPECT_EQ(list.Folder.GetIdList()->ItemCount(), 1u);
    list.FolderUp(1);
    EXPECT_EQ(list.Folder.GetIdList(), nullptr);
    list.FolderUp(1);
    EXPECT_EQ(list.Folder.GetIdList(), nullptr);
    list.WindowDestroying();
    EXPECT_EQ(list.Count(), 0);
    FinalizeShellControls();
}

TEST_F(ShellList, ContextMenuRenameEditsTheLabelAndOtherCommandsRun)
{
    test::FakeLauncher launcher;
    shell::SetShellServices({&launcher, nullptr, nullptr});
    dir.write("a.txt", "");
    Show(dir.path());
    view.Select(0);
    view.focused = 0;
    view.menuAnswer = kRenameCommandId;
    list.ShowShellContextMenu(10, 10);
    EXPECT_TRUE(view.editing);
    EXPECT_EQ(view.editedIndex, 0);
    view.editing = false;

    view.menuAnswer = static_cast<int>(kFirstShellCommand + shell::kCmdOpen);
    list.ShowShellContextMenu(10, 10);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{(dir.path() / "a.txt").string()});
    view.menuAnswer = 0;  // dismissed
    list.ShowShellContextMenu(10, 10);
    EXPECT_EQ(launcher.opened.size(), 1u);
    shell::SetShellServices({});
}

// The captions of a menu's "Send To" submenu.
std::vector<std::string> SendToCaptions(const shell::PopupMenu& menu)
{
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < menu.Count(); ++i)
        if (menu.At(i).submenu && menu.At(i).text == shell::kSendToCaption)
            for (std::size_t k = 0; k < menu.At(i).submenu->Count(); ++k)
                captions.push_back(menu.At(i).submenu->At(k).text);
    return captions;
}

TEST_F(ShellList, SendToEntriesFillTheMenuAndOpenTheSelectionWithTheirApplication)
{
    SystemLauncher launcher;
    shell::SetShellServices({&launcher, nullptr, nullptr});
    const fs::path sendTo = shell::SendToPath();
    fs::create_directories(sendTo);
    fs::create_directories(dir.path() / "sent");
    // The application copies what it is given into "sent".
    std::ofstream(sendTo / "keep.desktop") << "[Desktop Entry]\nType=Application\nName=Keep a Copy\nExec=cp -t \""
                                           << (dir.path() / "sent").string() << "\" %F\n";
    dir.write("a b.txt", "A");
    dir.write("c.txt", "C");
    Show(dir.path());

    std::vector<std::string> captions;
    std::string hint = "unset";
    view.onMenu = [&](const shell::PopupMenu& menu) {
        captions = SendToCaptions(menu);
        hint = list.MenuHint(1, false);  // the list's own entries have no help text
    };
    view.SelectAllItems();
    view.menuAnswer = 1;
    list.ShowShellContextMenu(5, 5);
    EXPECT_EQ(captions, std::vector<std::string>{"Keep a Copy"});
    EXPECT_EQ(hint, "");
    EXPECT_TRUE(test::WaitUntil(
        [&] { return fs::exists(dir.path() / "sent/a b.txt") && fs::exists(dir.path() / "sent/c.txt"); },
        std::chrono::seconds(5)));
    EXPECT_EQ(dir.read("sent/c.txt"), "C");

    // Hints of the shell's commands come while the menu is up, and only then.
    view.onMenu = [&](const shell::PopupMenu&) { hint = list.MenuHint(int(kFirstShellCommand), false); };
    view.menuAnswer = 0;
    list.ShowShellContextMenu(5, 5);
    EXPECT_EQ(hint, "Opens the selected items.");
    EXPECT_EQ(list.MenuHint(int(kFirstShellCommand), false), "");

    SendToList().clear();
    fs::remove_all(sendTo);
    shell::SetShellServices({});
}

TEST_F(ShellList, DeleteKeySendsTheSelectionToTheTrashOnceConfirmed)
{
    test::FakeShellConfirm confirm;
    shell::SetShellServices({nullptr, nullptr, &confirm});
    dir.write("gone", "x");
    dir.write("kept", "y");
    Show(dir.path());
    view.Select(IndexOf("gone"));
    confirm.trashAnswer = false;
    EXPECT_TRUE(list.KeyDown(0x2E));
    EXPECT_EQ(confirm.trashAsked, std::vector<std::vector<std::string>>{{(dir.path() / "gone").string()}});
    EXPECT_TRUE(fs::exists(dir.path() / "gone"));

    confirm.trashAnswer = true;
    EXPECT_TRUE(list.KeyDown(0x2E));
    EXPECT_EQ(confirm.trashAsked.size(), 2u);
    EXPECT_FALSE(fs::exists(dir.path() / "gone"));
    EXPECT_TRUE(fs::exists(dir.path() / "kept"));
    shell::SetShellServices({});
    // The trash names the file after its old name, numbered when that name is taken there.
    const fs::path trash = test::SessionRoot() / "data/Trash";
    bool trashed = false;
    for (const auto& e : fs::directory_iterator(trash / "files"))
        if (e.path().filename().string().rfind("gone", 0) == 0) {
            trashed = true;
            fs::remove(e.path());
            fs::remove(trash / "info" / (e.path().filename().string() + ".trashinfo"));
        }
    EXPECT_TRUE(trashed);
}

TEST_F(ShellList, DropEffectsOverItemsEmptySpaceAndTheListsOwnDrag)
{
    test::TempDir elsewhere;
    auto outside = elsewhere.write("in.txt", "data");
    fs::create_directory(dir.path() / "folder");
    dir.write("file", "");
    Show(dir.path());

    auto data = MakeCom<test::MemoryDataObject>();
    data->blocks[CF_HDROP] = BuildHDrop({outside.string()});

    // Another program's drag over empty space goes to the shown folder, with no highlight.
    view.itemAtPoint = -1;
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(list.ListDragEnter(data.get(), MK_LBUTTON, {5, 100}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(view.highlight, -1);
    // Over the folder item: its own target, highlighted.
    view.itemAtPoint = IndexOf("folder");
    effect = DROPEFFECT_COPY;
    view.tick += 500;
    list.ListDragOver(MK_LBUTTON, {5, 100}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_COPY | DROPEFFECT_SCROLL);
    EXPECT_EQ(view.highlight, IndexOf("folder"));
    EXPECT_EQ(view.scrolls, (std::vector<std::pair<int, int>>{{-1, 0}}));  // within 26 pixels of the left
    list.ListDragOver(MK_LBUTTON, {5, 100}, &effect);
    EXPECT_EQ(view.scrolls.size(), 1u);  // not again within 100 ms
    // Dropped onto empty space: copied into the shown folder.
    view.itemAtPoint = -1;
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(list.ListDrop(data.get(), 0, {150, 100}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(dir.read("in.txt"), "data");
    EXPECT_TRUE(fs::exists(outside));
    EXPECT_EQ(view.highlight, -1);

    // The list's own items over its own empty space: nothing with the left button; a copy
    // (never a move) with the right.
    view.Select(IndexOf("file"));
    view.dragHandler = [&](IDataObject* own, IDropSource*, DWORD ok, DWORD*) {
        EXPECT_EQ(ok, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
        DWORD e = ok;
        list.ListDragEnter(own, MK_LBUTTON, {150, 100}, &e);
        EXPECT_EQ(e, DROPEFFECT_NONE);
        e = ok;
        list.ListDrop(own, 0, {150, 100}, &e);
        EXPECT_EQ(e, DROPEFFECT_NONE);
        e = ok;
        list.ListDragEnter(own, MK_RBUTTON, {150, 100}, &e);
        EXPECT_EQ(e, DROPEFFECT_COPY);
        e = ok;
        list.ListDrop(own, 0, {150, 100}, &e);
        EXPECT_EQ(e, DROPEFFECT_COPY);
        return DRAGDROP_S_DROP;
    };
    list.StartOleDrag(0);
    EXPECT_TRUE(fs::exists(dir.path() / "file"));
    EXPECT_TRUE(fs::exists(dir.path() / "file (2)"));
    EXPECT_NE(IndexOf("file (2)"), -1);  // a completed drop refreshes the list
}

}  // namespace
