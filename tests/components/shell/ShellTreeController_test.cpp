#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

#include "components/shell/ShellItemUtils.h"
#include "components/shell/ShellTreeController.h"
#include "platform/core/ClipboardFormats.h"
#include "platform/core/shell/ShellItems.h"
#include "platform/core/shell/ShellServices.h"
#include "tests/components/shell/ShellTreeFake.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/ShellTestEnv.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::com;
using namespace ql::shellctl;
using Node = test::FakeShellTreeView::Node;

namespace {

constexpr TSvShellTreeOptions kStill = kDefaultShellTreeOptions & ~(svstoAutoFill | svstoDynamicRefresh);

class ShellTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SessionRoot();
        // The table is process-wide and parsed once; tests of the table itself may have left
        // other texts in it, so the keys start from the program's own texts here.
        LoadCommandShortcutTexts();
        EnsureCommandShortcuts();
        for (auto& entry : CommandShortcuts())
            entry.code = TextToShortCut(entry.keyText);
        view.tree = &tree;
        tree.Options = kStill;
    }
    void ShowRoot(const fs::path& folder)
    {
        tree.RootFolder.SetPath(folder.string());
        tree.FillTree();
    }
    Node* Path(std::initializer_list<const char*> names)
    {
        Node* n = view.Top();
        for (const char* name : names) {
            if (!n)
                return nullptr;
            view.Expand(n);
            n = view.Child(n, name);
        }
        return n;
    }
    std::string SelectedPath() { return tree.SelectedFolder.GetPath(); }

    test::TempDir dir;
    test::FakeShellTreeView view;
    ShellTreeController tree{view};
};

TEST_F(ShellTree, TopNodeExpandedWithSortedFoldersAndFillingOnExpand)
{
    for (const char* d : {"b", "a/inner", "c"})
        fs::create_directories(dir.path() / d);
    dir.write("file.txt", "x");
    ShowRoot(dir.path());

    Node* top = view.Top();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(view.root.children.size(), 1u);
    EXPECT_EQ(top->caption, dir.path().filename().string());
    EXPECT_TRUE(top->expanded);
    EXPECT_EQ(view.selected, top);
    EXPECT_EQ(view.Captions(top), (std::vector<std::string>{"a", "b", "c"}));  // files are left out
    // Only a folder with subfolders has an expand button; its children come when expanded.
    Node* a = view.Child(top, "a");
    EXPECT_TRUE(a->hasChildren);
    EXPECT_FALSE(view.Child(top, "b")->hasChildren);
    EXPECT_TRUE(a->children.empty());
    view.Expand(a);
    EXPECT_EQ(view.Captions(a), (std::vector<std::string>{"inner"}));
    EXPECT_TRUE(a->expanded);

    // With non-folders every folder has a button, and the files are listed.
    tree.Options = kStill | svstoShowNonFolders;
    tree.FillTree();
    top = view.Top();
    EXPECT_EQ(view.Captions(top), (std::vector<std::string>{"a", "b", "c", "file.txt"}));
    EXPECT_TRUE(view.Child(top, "b")->hasChildren);
    EXPECT_FALSE(view.Child(top, "file.txt")->hasChildren);

    // A link carries overlay 1, a hidden folder is drawn dimmed, others have neither.
    fs::create_directory_symlink(dir.path() / "a", dir.path() / "link");
    fs::create_directories(dir.path() / ".hidden");
    tree.Options = kStill;
    tree.FillTree();
    top = view.Top();
    ASSERT_NE(view.Child(top, "link"), nullptr);
    EXPECT_EQ(view.Child(top, "link")->overlay, 1);
    EXPECT_EQ(view.Child(top, "a")->overlay, -1);
    ASSERT_NE(view.Child(top, ".hidden"), nullptr);
    EXPECT_TRUE(view.Child(top, ".hidden")->ghosted);
    EXPECT_FALSE(view.Child(top, "a")->ghosted);
    fs::remove(dir.path() / "link");
    fs::remove(dir.path() / ".hidden");

    // OnAddItem keeps items out.
    tree.OnAddItem = [](IShellFolder*, const ItemIdList*, const ItemIdList&, ULONG attributes) {
        return (attributes & shell::SFGAO_FOLDER) != 0;
    };
    tree.FillTree();
    EXPECT_EQ(view.Captions(view.Top()), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(ShellTree, SelectIdListWalksDownBeepsAndNeverLeavesTheRoot)
{
    fs::create_directories(dir.path() / "root/one/two/three");
    fs::create_directories(dir.path() / "root/.hidden/deep");
    fs::create_directories(dir.path() / "other/one");
    tree.Options = kStill & ~svstoShowHidden;
    ShowRoot(dir.path() / "root");
    Node* top = view.Top();

    // Three levels down: the folders between are expanded, the target selected and collapsed.
    auto target = shell::PathToAbsoluteIdList((dir.path() / "root/one/two/three").string());
    tree.SelectIdList(target.get());
    Node* one = view.Child(top, "one");
    ASSERT_NE(one, nullptr);
    Node* two = view.Child(one, "two");
    ASSERT_NE(two, nullptr);
    EXPECT_TRUE(one->expanded);
    EXPECT_TRUE(two->expanded);
    ASSERT_NE(view.selected, nullptr);
    EXPECT_EQ(view.selected->caption, "three");
    EXPECT_FALSE(view.selected->expanded);
    EXPECT_EQ(SelectedPath(), (dir.path() / "root/one/two/three").string());
    EXPECT_EQ(view.beeps, 0);

    // The root itself: the top node, selected and expanded.
    auto root = shell::PathToAbsoluteIdList((dir.path() / "root").string());
    tree.SelectIdList(root.get());
    EXPECT_EQ(view.selected, top);
    EXPECT_TRUE(top->expanded);

    // A hidden folder the enumeration left out is added when the path goes through it.
    EXPECT_EQ(view.Child(top, ".hidden"), nullptr);
    auto deep = shell::PathToAbsoluteIdList((dir.path() / "root/.hidden/deep").string());
    tree.SelectIdList(deep.get());
    ASSERT_NE(view.Child(top, ".hidden"), nullptr);
    EXPECT_EQ(view.selected->caption, "deep");

    // A folder that is gone by now: one beep, the deepest node reached is selected.
    fs::create_directories(dir.path() / "root/one/gone");
    auto gone = shell::PathToAbsoluteIdList((dir.path() / "root/one/gone").string());
    fs::remove(dir.path() / "root/one/gone");
    tree.SelectIdList(gone.get());
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.selected, one);

    // Outside the root: the root and a beep, never the node of the same name below the root.
    auto outside = shell::PathToAbsoluteIdList((dir.path() / "other/one").string());
    tree.SelectIdList(outside.get());
    EXPECT_EQ(view.beeps, 2);
    EXPECT_EQ(view.selected, top);
    auto above = shell::PathToAbsoluteIdList(dir.path().string());
    tree.SelectIdList(above.get());
    EXPECT_EQ(view.beeps, 3);
    EXPECT_EQ(view.selected, top);

    // Setting SelectedFolder from outside moves the selection; selecting a node sets it.
    tree.SelectedFolder.SetPath((dir.path() / "root/one/two").string());
    EXPECT_EQ(view.selected, two);
    view.Select(one);
    EXPECT_EQ(SelectedPath(), (dir.path() / "root/one").string());
}

TEST_F(ShellTree, RefreshMergesKeepingNodesAndMovesTheSelectionUp)
{
    for (const char* d : {"a/x", "c", "e/y/z"})
        fs::create_directories(dir.path() / d);
    ShowRoot(dir.path());
    Node* top = view.Top();
    Node* a = Path({"a"});
    Node* c = Path({"c"});
    Node* z = Path({"e", "y", "z"});
    ASSERT_TRUE(a && c && z);
    view.Expand(a);
    view.Select(z);
    std::vector<std::string> deleted;
    tree.OnDeleteItem = [&](TTreeNode node, TSvShTreeData&) { deleted.push_back(view.Caption(node)); };

    fs::create_directories(dir.path() / "b");
    fs::create_directories(dir.path() / "d");
    fs::create_directories(dir.path() / "a/w");
    fs::remove_all(dir.path() / "e/y");
    tree.RefreshTree();

    EXPECT_EQ(view.Captions(top), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(view.Child(top, "a"), a);  // unchanged items keep their nodes
    EXPECT_EQ(view.Child(top, "c"), c);
    EXPECT_EQ(view.Captions(a), (std::vector<std::string>{"w", "x"}));  // an expanded node is merged too
    EXPECT_EQ(deleted, (std::vector<std::string>{"z", "y"}));           // children first
    Node* e = view.Child(top, "e");
    EXPECT_EQ(view.selected, e);
    EXPECT_TRUE(e->children.empty());
    EXPECT_FALSE(e->hasChildren);
    EXPECT_EQ(SelectedPath(), (dir.path() / "e").string());

    // Nothing changed: nothing is deleted or added.
    deleted.clear();
    tree.RefreshTree();
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(view.Child(top, "a"), a);
}

// Every filled folder is watched on its own, many more than one wait could cover, and a change
// in any of them reaches the tree.
TEST_F(ShellTree, OneWatchPerFilledFolderBeyondSixtyThree)
{
    constexpr int kFolders = 70;
    for (int i = 0; i < kFolders; ++i)
        fs::create_directories(dir.path() / ("f" + std::to_string(100 + i)) / "sub");
    // Shared with the watching thread, which may still post after this test's body.
    struct Posts {
        std::mutex mutex;
        std::condition_variable posted;
        int count = 0;
    };
    auto posts = std::make_shared<Posts>();
    view.poster = [posts](std::uint32_t message, int) {
        std::lock_guard lock(posts->mutex);
        if (message == kChangeNotifyMessage)
            ++posts->count;
        posts->posted.notify_all();
    };
    tree.Options = kStill | svstoDynamicRefresh;
    ShowRoot(dir.path());
    for (int i = 0; i < kFolders; ++i)
        view.Expand(view.Child(view.Top(), "f" + std::to_string(100 + i)));
    EXPECT_EQ(tree.WatchedFolders().size(), std::size_t(kFolders + 1));
    EXPECT_EQ(tree.WatchedFolders().count((dir.path() / "f169").string()), 1u);

    fs::create_directory(dir.path() / "f169/new");
    {
        std::unique_lock lock(posts->mutex);
        EXPECT_TRUE(posts->posted.wait_for(lock, std::chrono::seconds(3), [&] { return posts->count > 0; }));
    }

    // A notification waits 400 ms with the focus, 2000 without; one after an own rename is
    // not followed.
    tree.ChangeNotification();
    EXPECT_EQ(view.timerDelay, 400);
    view.focus = false;
    tree.ChangeNotification();
    EXPECT_EQ(view.timerDelay, 2000);
    tree.RefreshTimerFired();
    EXPECT_EQ(view.timerDelay, 0);
    EXPECT_EQ(view.Captions(view.Child(view.Top(), "f169")), (std::vector<std::string>{"new", "sub"}));

    // A refill starts the watches again from the folders it fills.
    tree.FillTree();
    EXPECT_EQ(tree.WatchedFolders().size(), 1u);
}

TEST_F(ShellTree, VolumeArrivalsAndRemovalsRefresh)
{
    fs::create_directories(dir.path() / "a");
    ShowRoot(dir.path());
    fs::create_directories(dir.path() / "b");
    TMessage other{0x219, 0x0007, 0, 0};  // a device-change event of another kind
    tree.DeviceChanged(other);
    EXPECT_EQ(view.Captions(view.Top()), (std::vector<std::string>{"a"}));
    TMessage arrival{0x219, DBT_DEVICEARRIVAL, 0, 0};
    tree.DeviceChanged(arrival);
    EXPECT_EQ(view.Captions(view.Top()), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(DriveRefreshCount(), 0);  // the drive refresh bracket is closed again
    fs::remove(dir.path() / "a");
    TMessage removal{0x219, DBT_DEVICEREMOVECOMPLETE, 0, 0};
    tree.DeviceChanged(removal);
    EXPECT_EQ(view.Captions(view.Top()), (std::vector<std::string>{"b"}));
}

TEST_F(ShellTree, RenamesUpdateTheFolderAndClearTheEchoWhenNothingHappened)
{
    fs::create_directories(dir.path() / "old/child");
    fs::create_directories(dir.path() / "taken");
    ShowRoot(dir.path());
    Node* old = Path({"old"});
    Node* child = Path({"old", "child"});
    ASSERT_TRUE(old && child);
    view.Select(old);

    EXPECT_FALSE(tree.CanEdit(view.Top()));  // the root cannot be renamed
    EXPECT_TRUE(tree.CanEdit(old));
    tree.LabelEdited(old, "new");
    EXPECT_TRUE(fs::is_directory(dir.path() / "new/child"));
    EXPECT_EQ(old->caption, "new");
    EXPECT_EQ(SelectedPath(), (dir.path() / "new").string());
    EXPECT_EQ(tree.NodeData(child)->Path(), (dir.path() / "new/child").string());  // children follow
    EXPECT_EQ(view.Child(old, "child"), child);
    EXPECT_TRUE(tree.RenameEcho());
    tree.ChangeNotification();  // the rename's own notification
    EXPECT_EQ(view.timerDelay, 0);
    EXPECT_FALSE(tree.RenameEcho());

    // A name that is taken, an unchanged name and a name with a slash rename nothing and leave
    // the next notification to be followed.
    for (const char* name : {"taken", "new", "a/b"}) {
        tree.LabelEdited(old, name);
        EXPECT_FALSE(tree.RenameEcho()) << name;
        EXPECT_EQ(old->caption, "new") << name;
    }
    EXPECT_TRUE(fs::is_directory(dir.path() / "taken"));

    // A refresh asked for during an edit runs when the edit ends, also a cancelled one.
    view.editing = true;
    fs::create_directories(dir.path() / "later");
    tree.RefreshTree();
    EXPECT_EQ(view.Child(view.Top(), "later"), nullptr);
    view.editing = false;
    tree.LabelEdited(old, "");
    EXPECT_NE(view.Child(view.Top(), "later"), nullptr);
    EXPECT_EQ(old->caption, "new");
}

TEST_F(ShellTree, KeysAndVerbs)
{
    fs::create_directories(dir.path() / "doomed");
    ShowRoot(dir.path());
    Node* top = view.Top();

    // F2 on the root (which cannot be renamed) opens no editor, but is the tree's key.
    view.Select(top);
    EXPECT_TRUE(tree.KeyDown(0x71));
    EXPECT_FALSE(view.editing);
    view.Select(view.Child(top, "doomed"));
    EXPECT_TRUE(tree.KeyDown(0x71));
    EXPECT_TRUE(view.editing);
    EXPECT_EQ(view.edited, view.Child(top, "doomed"));
    EXPECT_FALSE(tree.KeyDown(0x2E));  // no keys while editing
    view.editing = false;

    EXPECT_FALSE(tree.KeyDown(0x4041));  // Ctrl+A is not the tree's
    EXPECT_FALSE(tree.KeyDown(0x41));
    // Shift+Del deletes like Del: once confirmed, the folder goes to the trash and its node
    // with it.
    test::FakeShellConfirm confirm;
    shell::SetShellServices({nullptr, nullptr, &confirm});
    EXPECT_TRUE(tree.KeyDown(scShift | 0x2E));
    shell::SetShellServices({});
    EXPECT_EQ(confirm.trashAsked, std::vector<std::vector<std::string>>{{(dir.path() / "doomed").string()}});
    EXPECT_FALSE(fs::exists(dir.path() / "doomed"));
    EXPECT_EQ(view.Child(top, "doomed"), nullptr);
    EXPECT_EQ(tree.InvokeVerb(top, "delete"), S_FALSE);  // never on the top node
    EXPECT_TRUE(fs::exists(dir.path()));

    tree.Options = kStill & ~svstoDefaultKeyHandling;
    EXPECT_FALSE(tree.KeyDown(0x74));
}

TEST_F(ShellTree, ShellMenuRenameHintsAndTheTopNode)
{
    fs::create_directories(dir.path() / "folder");
    ShowRoot(dir.path());
    Node* top = view.Top();
    Node* folder = view.Child(top, "folder");

    // No shell menu for the top node.
    tree.ShowShellContextMenu(top, 5, 5);
    EXPECT_EQ(view.menus, 0);

    // The shell's Rename starts editing in place; hints come from the shell while the menu is up.
    std::string hint;
    bool hasRename = false;
    view.onMenu = [&](const shell::PopupMenu& menu) {
        hasRename = menu.FindById(int(kTreeShellRenameId)) != nullptr;
        hint = tree.MenuHint(int(kFirstShellCommand), false);
    };
    view.menuAnswer = int(kTreeShellRenameId);
    tree.ShowShellContextMenu(folder, 5, 5);
    EXPECT_TRUE(hasRename);
    EXPECT_EQ(hint, "Opens the selected items.");
    EXPECT_TRUE(view.editing);
    EXPECT_EQ(view.edited, folder);
    EXPECT_EQ(tree.MenuHint(int(kFirstShellCommand), false), "");  // the menu is gone
    view.editing = false;

    // Read-only: no Rename entry.
    tree.ReadOnly = true;
    view.menuAnswer = 0;
    tree.ShowShellContextMenu(folder, 5, 5);
    EXPECT_FALSE(hasRename);
    EXPECT_FALSE(view.editing);

    // A context request takes the node under the point only with the shell's menus on; the
    // top node's request is taken though it has no shell menu.
    const int shown = view.menus;
    EXPECT_FALSE(tree.NodeContextMenu(nullptr, 5, 5));
    EXPECT_TRUE(tree.NodeContextMenu(top, 5, 5));
    EXPECT_EQ(view.menus, shown);
    EXPECT_TRUE(tree.NodeContextMenu(folder, 5, 5));
    EXPECT_EQ(view.menus, shown + 1);
    tree.Options &= ~svstoContextMenus;
    EXPECT_FALSE(tree.NodeContextMenu(folder, 5, 5));
    EXPECT_EQ(view.menus, shown + 1);
}

TEST_F(ShellTree, SendToSendsTheNodesItemToTheEntrysApplication)
{
    test::FakeLauncher launcher;
    shell::SetShellServices({&launcher, nullptr, nullptr});
    const fs::path sendTo = shell::SendToPath();
    fs::create_directories(sendTo);
    std::ofstream(sendTo / "burn.desktop") << "[Desktop Entry]\nType=Application\nName=Burn\nExec=burn --now %F\n";
    fs::create_directories(dir.path() / "folder");
    ShowRoot(dir.path());
    Node* folder = view.Child(view.Top(), "folder");

    std::vector<std::string> captions;
    view.onMenu = [&](const shell::PopupMenu& menu) {
        for (std::size_t i = 0; i < menu.Count(); ++i)
            if (menu.At(i).submenu)
                for (std::size_t k = 0; k < menu.At(i).submenu->Count(); ++k)
                    captions.push_back(menu.At(i).submenu->At(k).text);
    };
    view.menuAnswer = 1;  // the first Send To entry
    tree.ShowShellContextMenu(folder, 5, 5);
    EXPECT_EQ(captions, std::vector<std::string>{"Burn"});
    EXPECT_EQ(launcher.spawned,
              (std::vector<std::vector<std::string>>{{"burn", "--now", (dir.path() / "folder").string()}}));

    SendToList().clear();
    fs::remove_all(sendTo);
    shell::SetShellServices({});
}

// A file node dragged onto a folder node of the same tree moves without a modifier and is
// copied with Ctrl; the tree refreshes after the drop.
TEST_F(ShellTree, DragOntoAFolderMovesOrCopiesPerModifier)
{
    fs::create_directories(dir.path() / "into");
    dir.write("moved.txt", "m");
    dir.write("copied.txt", "c");
    tree.Options = kStill | svstoShowNonFolders;
    ShowRoot(dir.path());
    tree.WindowCreated();
    ASSERT_TRUE(view.registered);
    Node* top = view.Top();
    Node* into = view.Child(top, "into");

    auto dragOnto = [&](Node* node, DWORD modifier) {
        view.dragHandler = [&, modifier](IDataObject* data, IDropSource* source, DWORD ok, DWORD* effect) {
            EXPECT_EQ(ok, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
            EXPECT_EQ(source->QueryContinueDrag(false, MK_LBUTTON), S_OK);
            view.atPoint = into;
            DWORD e = ok;
            EXPECT_EQ(view.registered->DragEnter(data, MK_LBUTTON | modifier, {100, 100}, &e), S_OK);
            EXPECT_EQ(view.highlight, into);
            e = ok;
            view.registered->DragOver(MK_LBUTTON | modifier, {100, 100}, &e);
            EXPECT_EQ(e, (modifier ? DROPEFFECT_COPY : DROPEFFECT_MOVE) | DROPEFFECT_SCROLL);
            *effect = ok;
            const HRESULT hr = view.registered->Drop(data, modifier, {100, 100}, effect);
            EXPECT_EQ(view.highlight, nullptr);
            return SUCCEEDED(hr) && *effect ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
        };
        tree.BeginDrag(node, false);
    };
    dragOnto(view.Child(top, "moved.txt"), 0);
    EXPECT_FALSE(fs::exists(dir.path() / "moved.txt"));
    EXPECT_EQ(dir.read("into/moved.txt"), "m");
    EXPECT_EQ(view.Child(top, "moved.txt"), nullptr);  // refreshed after the drop
    EXPECT_EQ(tree.DragNode(), nullptr);               // its node is gone, so is the reference

    dragOnto(view.Child(top, "copied.txt"), MK_CONTROL);
    EXPECT_EQ(dir.read("copied.txt"), "c");
    EXPECT_EQ(dir.read("into/copied.txt"), "c");
    ASSERT_NE(tree.DragNode(), nullptr);

    // The top node is never dragged.
    bool started = false;
    view.dragHandler = [&](IDataObject*, IDropSource*, DWORD, DWORD*) {
        started = true;
        return DRAGDROP_S_CANCEL;
    };
    tree.BeginDrag(top, false);
    EXPECT_FALSE(started);

    // Over empty space: only the scroll bit, and the highlight back on the drag's own node;
    // the first drag-enter over the top node reports no effect.
    tree.BeginDrag(view.Child(top, "copied.txt"), false);
    Node* source = view.Child(top, "copied.txt");
    view.atPoint = top;
    DWORD e = DROPEFFECT_COPY;
    view.registered->DragEnter(nullptr, MK_LBUTTON, {150, 100}, &e);
    EXPECT_EQ(e, DROPEFFECT_NONE);
    view.atPoint = nullptr;
    e = DROPEFFECT_COPY;
    view.tick += 50;
    view.registered->DragOver(MK_LBUTTON, {150, 190}, &e);
    EXPECT_EQ(e, DROPEFFECT_SCROLL);
    EXPECT_EQ(view.highlight, source);
    EXPECT_TRUE(view.scrolls.empty());  // within 100 ms of the drag-enter
    view.tick += 101;
    view.registered->DragOver(MK_LBUTTON, {150, 190}, &e);
    EXPECT_EQ(view.scrolls, (std::vector<std::pair<int, int>>{{0, 1}}));
    view.registered->DragLeave();
    EXPECT_EQ(view.highlight, nullptr);

    // The source node deleted since: never highlighted again.
    fs::remove(dir.path() / "copied.txt");
    tree.RefreshTree();
    EXPECT_EQ(tree.DragNode(), nullptr);
    e = DROPEFFECT_COPY;
    view.registered->DragEnter(nullptr, MK_LBUTTON, {150, 100}, &e);
    EXPECT_EQ(view.highlight, nullptr);
    view.registered->DragLeave();
}

TEST_F(ShellTree, DataObjectOfANode)
{
    dir.write("item.txt", "x");
    tree.Options = kStill | svstoShowNonFolders;
    ShowRoot(dir.path());
    Node* item = view.Child(view.Top(), "item.txt");
    ComPtr<IDataObject> data = TDataObject_shtv::Create(tree.NodeData(item));
    ASSERT_TRUE(data);
    FORMATETC text{static_cast<CLIPFORMAT>(CF_TEXT), {}, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    ASSERT_EQ(data->GetData(&text, &medium), S_OK);
    const std::string expected = (dir.path() / "item.txt").string() + "\r\n";
    EXPECT_EQ(std::string(medium.hGlobal.begin(), medium.hGlobal.end()), expected + std::string(1, '\0'));
    ComPtr<IEnumFORMATETC> formats;
    EXPECT_EQ(data->EnumFormatEtc(2, formats.put()), E_NOTIMPL);
    EXPECT_FALSE(formats);
    EXPECT_FALSE(TDataObject_shtv::Create(tree.NodeData(view.Top())));  // the top node has no parent folder
    EXPECT_EQ(tree.NodeDropEffects(item), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK);
}

}  // namespace
