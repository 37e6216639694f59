#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/ClipboardFormats.h"
#include "platform/core/FileDropFormats.h"
#include "platform/core/shell/FileOperations.h"
#include "platform/core/shell/IdListArray.h"
#include "platform/core/shell/ShellItems.h"
#include "platform/core/shell/ShellObjects.h"
#include "platform/core/shell/ShellServices.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/MemoryDataObject.h"
#include "tests/support/ShellTestEnv.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::shell;
using namespace ql::com;

namespace {

std::string Read(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const fs::path& p, const std::string& bytes)
{
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

class FakeClipboard : public ShellClipboard {
public:
    std::vector<std::string> paths;
    bool cut = false;
    bool PutFiles(const std::vector<std::string>& p, bool c) override
    {
        paths = p;
        cut = c;
        return true;
    }
    bool GetFiles(std::vector<std::string>& p, bool& c) override
    {
        p = paths;
        c = cut;
        return !paths.empty();
    }
    void Clear() override { paths.clear(); }
};

class ShellObjects : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SessionRoot();
        SetShellServices({&launcher, &clipboard, &confirm});
    }
    void TearDown() override { SetShellServices({}); }

    ComPtr<test::MemoryDataObject> FilesData(const std::vector<std::string>& paths)
    {
        auto data = MakeCom<test::MemoryDataObject>();
        data->blocks[CF_HDROP] = BuildHDrop(paths);
        return data;
    }

    // Drops the files onto the folder with the keys and allowed effects given; the effect made.
    DWORD DropOnto(const std::string& folder, const std::vector<std::string>& paths, DWORD keys,
                   DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK)
    {
        auto target = MakeFolderDropTarget(folder);
        auto data = FilesData(paths);
        DWORD effect = allowed;
        target->DragEnter(data.get(), keys, {}, &effect);
        effect = allowed;
        EXPECT_TRUE(SUCCEEDED(target->Drop(data.get(), keys, {}, &effect)));
        return effect;
    }

    ComPtr<IContextMenu> MenuOf(const std::string& parent, const std::string& name)
    {
        auto folder = test::FolderOf(parent);
        IdListPtr item;
        folder->ParseDisplayName(Utf8(name), nullptr, &item, nullptr);
        const ItemIdList* items[] = {item.get()};
        ComPtr<IContextMenu> menu;
        EXPECT_EQ(folder->GetUIObjectOf(items, IContextMenu::IID_, menu.putVoid()), S_OK);
        return menu;
    }
    static std::u16string Utf8(const std::string& s) { return std::u16string(s.begin(), s.end()); }

    HRESULT Invoke(IContextMenu* menu, const std::string& verb)
    {
        CMINVOKECOMMANDINFO info;
        info.verb = verb;
        return menu->InvokeCommand(info);
    }

    test::TempDir dir;
    test::FakeLauncher launcher;
    FakeClipboard clipboard;
    test::FakeShellConfirm confirm;
};

TEST_F(ShellObjects, DropsCopyMoveAndLinkWithoutOverwriting)
{
    auto src = dir.path() / "src", dst = dir.path() / "dst";
    Write(src / "a.txt", "new");
    Write(src / "tree/inner/f", "deep");
    Write(dst / "a.txt", "old");
    fs::create_symlink("f", src / "tree/inner/rel-link");

    // Ctrl copies; a taken name gets a free one and the old file stays as it was.
    EXPECT_EQ(DropOnto(dst, {(src / "a.txt").string(), (src / "tree").string()}, MK_CONTROL), DROPEFFECT_COPY);
    EXPECT_EQ(Read(dst / "a.txt"), "old");
    EXPECT_EQ(Read(dst / "a (2).txt"), "new");
    EXPECT_EQ(Read(dst / "tree/inner/f"), "deep");
    EXPECT_EQ(fs::read_symlink(dst / "tree/inner/rel-link"), "f");
    EXPECT_TRUE(fs::exists(src / "a.txt"));

    // No key within one file system moves; Alt links.
    EXPECT_EQ(DropOnto(dst, {(src / "a.txt").string()}, 0), DROPEFFECT_MOVE);
    EXPECT_FALSE(fs::exists(src / "a.txt"));
    EXPECT_EQ(Read(dst / "a (3).txt"), "new");
    EXPECT_EQ(DropOnto(dst, {(src / "tree").string()}, MK_ALT), DROPEFFECT_LINK);
    EXPECT_TRUE(fs::is_symlink(dst / "tree (2)"));

    // What the source allows wins over the keys.
    Write(src / "b", "b");
    EXPECT_EQ(DropOnto(dst, {(src / "b").string()}, MK_SHIFT, DROPEFFECT_COPY), DROPEFFECT_COPY);
    EXPECT_TRUE(fs::exists(src / "b"));
}

// Like a drag from another program: the files are offered at once but handed over at the drop.
class LateData : public test::MemoryDataObject {
public:
    bool dropped = false;
    HRESULT GetData(const FORMATETC* f, STGMEDIUM* m) override
    {
        return dropped ? MemoryDataObject::GetData(f, m) : E_UNEXPECTED;
    }
};

TEST_F(ShellObjects, DragsWhoseDataComesAtTheDrop)
{
    auto src = dir.path() / "src", dst = dir.path() / "dst";
    Write(src / "f", "1");
    fs::create_directories(dst);
    auto data = MakeCom<LateData>();
    data->blocks[CF_HDROP] = BuildHDrop({(src / "f").string()});
    auto target = MakeFolderDropTarget(dst.string());
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->DragEnter(data.get(), 0, {}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragOver(MK_SHIFT, {}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    data->dropped = true;
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    ASSERT_EQ(target->Drop(data.get(), 0, {}, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);  // known now: one file system
    EXPECT_EQ(Read(dst / "f"), "1");
    EXPECT_FALSE(fs::exists(src / "f"));

    // Text alone is no drop of files.
    auto text = MakeCom<test::MemoryDataObject>();
    text->SetText(CF_TEXT, "hello");
    effect = DROPEFFECT_COPY;
    target->DragEnter(text.get(), 0, {}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
}

TEST_F(ShellObjects, AFolderNeverGoesIntoItself)
{
    auto top = dir.path() / "top";
    Write(top / "child/f", "1");
    for (auto into : {top, top / "child"}) {
        auto target = MakeFolderDropTarget(into.string());
        auto data = FilesData({top.string()});
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->DragEnter(data.get(), MK_CONTROL, {}, &effect);
        EXPECT_EQ(effect, DROPEFFECT_NONE);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(target->Drop(data.get(), 0, {}, &effect), S_OK);
        EXPECT_EQ(effect, DROPEFFECT_NONE);
    }
    auto result = TransferInto({top.string()}, (top / "child").string(), TransferKind::Copy);
    EXPECT_EQ(result.error, EINVAL);
    EXPECT_EQ(fs::directory_iterator(top / "child")->path().filename(), "f");
    // A link to the folder moves as a link, even below the folder it points to.
    fs::create_symlink(top, dir.path() / "toplink");
    result = TransferInto({(dir.path() / "toplink").string()}, (top / "child").string(), TransferKind::Move);
    EXPECT_EQ(result.error, 0);
    EXPECT_TRUE(fs::is_symlink(top / "child/toplink"));
    // A move onto the folder it is in changes nothing.
    result = TransferInto({(top / "child").string()}, top.string(), TransferKind::Move);
    EXPECT_EQ(result.error, 0);
    EXPECT_TRUE(result.created.empty());
    EXPECT_TRUE(fs::exists(top / "child/f"));
}

TEST_F(ShellObjects, FailedCopyLeavesNothingBehind)
{
    auto src = dir.path() / "src";
    Write(src / "ok", "1");
    Write(src / "sub/f", "2");
    ASSERT_EQ(::mkfifo((src / "sub/pipe").c_str(), 0600), 0);  // pipes are not copied
    EXPECT_EQ(CopyTree(src.string(), (dir.path() / "copy").string()), ENOTSUP);
    EXPECT_FALSE(fs::exists(dir.path() / "copy"));
    EXPECT_EQ(CopyTree((src / "ok").string(), (src / "sub").string()), EEXIST);
    EXPECT_EQ(Read(src / "sub/f"), "2");
}

TEST_F(ShellObjects, MoveAcrossFileSystemsCopiesFirst)
{
    struct stat a {
    }, b{};
    if (::stat("/dev/shm", &b) != 0 || ::stat(dir.path().c_str(), &a) != 0 || a.st_dev == b.st_dev ||
        ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second writable file system";
    char templ[] = "/dev/shm/quillory-move-XXXXXX";
    ASSERT_TRUE(::mkdtemp(templ));
    std::string other = templ;
    Write(dir.path() / "tree/f", "data");
    EXPECT_EQ(MoveTree((dir.path() / "tree").string(), other + "/tree"), 0);
    EXPECT_EQ(Read(fs::path(other) / "tree/f"), "data");
    EXPECT_FALSE(fs::exists(dir.path() / "tree"));
    // A copy that fails keeps the source where it was.
    Write(fs::path(other) / "bad/f", "keep");
    ASSERT_EQ(::mkfifo((other + "/bad/pipe").c_str(), 0600), 0);
    EXPECT_EQ(MoveTree(other + "/bad", (dir.path() / "bad").string()), ENOTSUP);
    EXPECT_EQ(Read(fs::path(other) / "bad/f"), "keep");
    EXPECT_FALSE(fs::exists(dir.path() / "bad"));
    fs::remove_all(other);
}

TEST_F(ShellObjects, ContextMenuCommandsFromFifty)
{
    Write(dir.path() / "f.txt", "1");
    auto menu = MenuOf(dir.path().string(), "f.txt");
    ASSERT_TRUE(menu);
    PopupMenu popup;
    HRESULT hr = menu->QueryContextMenu(popup, 0, 50, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME);
    EXPECT_EQ(hr, 20);  // offsets up to the Send To placeholder's 19 are taken
    ASSERT_TRUE(popup.FindById(50));
    EXPECT_EQ(popup.FindById(50)->text, "&Open");
    EXPECT_TRUE(popup.FindById(50)->flags & MF_DEFAULT);
    // Send To follows Open, holding only its grayed placeholder for the controls to fill.
    ASSERT_GE(popup.Count(), 2u);
    ASSERT_TRUE(popup.At(1).submenu);
    EXPECT_EQ(popup.At(1).text, "Se&nd To");
    ASSERT_EQ(popup.At(1).submenu->Count(), 1u);
    EXPECT_EQ(popup.At(1).submenu->At(0).id, 69);
    EXPECT_TRUE(popup.At(1).submenu->At(0).flags & MF_GRAYED);
    ASSERT_TRUE(popup.FindById(68));
    EXPECT_EQ(popup.FindById(68)->text, "Rena&me");
    EXPECT_FALSE(popup.FindById(53));  // paste goes into folders only
    std::string verb;
    EXPECT_EQ(menu->GetCommandString(4, GCS_VERBA, &verb), S_OK);
    EXPECT_EQ(verb, "delete");
    EXPECT_EQ(menu->GetCommandString(7, GCS_VERBA, &verb), E_INVALIDARG);

    PopupMenu plain;
    menu->QueryContextMenu(plain, 0, 50, 0x7FFF, CMF_EXPLORE);
    EXPECT_FALSE(plain.FindById(68));
    PopupMenu defaults;
    EXPECT_EQ(menu->QueryContextMenu(defaults, 0, 50, 0x7FFF, CMF_DEFAULTONLY), 1);
    EXPECT_EQ(defaults.Count(), 1u);

    // Open goes to the desktop's handler; an unknown verb or paste on a file runs nothing.
    EXPECT_EQ(Invoke(menu.get(), "OPEN"), S_OK);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{(dir.path() / "f.txt").string()});
    EXPECT_EQ(Invoke(menu.get(), "paste"), E_INVALIDARG);
    EXPECT_EQ(Invoke(menu.get(), "explode"), E_INVALIDARG);

    // Home can be opened and copied, never cut, deleted or renamed.
    auto homeItem = *ItemIdList::FromItems({ShellItem{ItemKind::Home, true, {}}.Encode()});
    const ItemIdList* homeItems[] = {&homeItem};
    ComPtr<IContextMenu> homeMenu;
    ASSERT_EQ(test::Desktop()->GetUIObjectOf(homeItems, IContextMenu::IID_, homeMenu.putVoid()), S_OK);
    PopupMenu homePopup;
    homeMenu->QueryContextMenu(homePopup, 0, 50, 0x7FFF, CMF_CANRENAME);
    EXPECT_TRUE(homePopup.FindById(50) && homePopup.FindById(52) && homePopup.FindById(53));
    EXPECT_FALSE(homePopup.FindById(51) || homePopup.FindById(54) || homePopup.FindById(68));
    EXPECT_EQ(Invoke(homeMenu.get(), "delete"), E_INVALIDARG);
    EXPECT_TRUE(fs::exists(test::HomeDir()));

    // The menu of Computer cannot be had: it is no file.
    IdListPtr computer;
    SHGetSpecialFolderLocation(CSIDL_DRIVES, &computer);
    const ItemIdList* items[] = {computer.get()};
    ComPtr<IContextMenu> none;
    EXPECT_EQ(test::Desktop()->GetUIObjectOf(items, IContextMenu::IID_, none.putVoid()), E_INVALIDARG);
}

TEST_F(ShellObjects, CutCopyAndPasteThroughTheClipboard)
{
    Write(dir.path() / "src/a", "A");
    Write(dir.path() / "src/b", "B");
    fs::create_directories(dir.path() / "dst");
    EXPECT_EQ(Invoke(MenuOf((dir.path() / "src").string(), "a").get(), "copy"), S_OK);
    EXPECT_FALSE(clipboard.cut);
    auto dstMenu = MenuOf(dir.path().string(), "dst");
    PopupMenu popup;
    dstMenu->QueryContextMenu(popup, 0, 50, 0x7FFF, 0);
    ASSERT_TRUE(popup.FindById(53));
    EXPECT_FALSE(popup.FindById(53)->flags & MF_GRAYED);
    EXPECT_EQ(Invoke(dstMenu.get(), "paste"), S_OK);
    EXPECT_EQ(Read(dir.path() / "dst/a"), "A");
    EXPECT_TRUE(fs::exists(dir.path() / "src/a"));
    EXPECT_FALSE(clipboard.paths.empty());  // a copy can be pasted again

    EXPECT_EQ(Invoke(MenuOf((dir.path() / "src").string(), "b").get(), "cut"), S_OK);
    EXPECT_TRUE(clipboard.cut);
    EXPECT_EQ(Invoke(dstMenu.get(), "paste"), S_OK);
    EXPECT_EQ(Read(dir.path() / "dst/b"), "B");
    EXPECT_FALSE(fs::exists(dir.path() / "src/b"));
    EXPECT_TRUE(clipboard.paths.empty());

    PopupMenu empty;
    dstMenu->QueryContextMenu(empty, 0, 50, 0x7FFF, 0);
    EXPECT_TRUE(empty.FindById(53)->flags & MF_GRAYED);

    std::vector<std::string> paths;
    bool cut = false;
    EXPECT_TRUE(ParseCopiedFilesText(BuildCopiedFilesText({"/a b/ü", "/c"}, true), paths, cut));
    EXPECT_EQ(paths, (std::vector<std::string>{"/a b/ü", "/c"}));
    EXPECT_TRUE(cut);
    EXPECT_EQ(BuildCopiedFilesText({"/a b"}, false), "copy\nfile:///a%20b");
    EXPECT_EQ(BuildUriListText({"/x#1"}), "file:///x%231\r\n");
    EXPECT_FALSE(ParseCopiedFilesText("move\nfile:///a", paths, cut));
}

TEST_F(ShellObjects, DeleteGoesToTheTrashOnlyWhenConfirmedAndOnlyAConfirmedDeleteIsPermanent)
{
    auto trash = test::SessionRoot() / "data/Trash";
    auto home = test::HomeDir() / "deltest";
    Write(home / "doomed.txt", "bye");
    auto doomed = MenuOf(home.string(), "doomed.txt");

    // Declined, or with nobody to ask: the file stays where it is.
    confirm.trashAnswer = false;
    EXPECT_EQ(Invoke(doomed.get(), "delete"), E_ABORT);
    ASSERT_EQ(confirm.trashAsked.size(), 1u);
    EXPECT_EQ(confirm.trashAsked[0], std::vector<std::string>{(home / "doomed.txt").string()});
    SetShellServices({&launcher, &clipboard, nullptr});
    EXPECT_EQ(Invoke(doomed.get(), "delete"), E_ABORT);
    SetShellServices({&launcher, &clipboard, &confirm});
    EXPECT_EQ(Read(home / "doomed.txt"), "bye");
    EXPECT_FALSE(fs::exists(trash / "files/doomed.txt"));

    confirm.trashAnswer = true;
    EXPECT_EQ(Invoke(doomed.get(), "delete"), S_OK);
    EXPECT_EQ(confirm.trashAsked.size(), 2u);
    EXPECT_FALSE(fs::exists(home / "doomed.txt"));
    EXPECT_EQ(Read(trash / "files/doomed.txt"), "bye");
    EXPECT_TRUE(fs::exists(trash / "info/doomed.txt.trashinfo"));
    EXPECT_TRUE(confirm.permanentAsked.empty());

    // With the trash unusable, the user is asked again: no keeps the file, yes removes it.
    fs::rename(trash, test::SessionRoot() / "data/Trash.saved");
    Write(trash, "not a folder");
    Write(home / "kept.txt", "1");
    auto menu = MenuOf(home.string(), "kept.txt");
    EXPECT_EQ(Invoke(menu.get(), "delete"), E_ABORT);
    ASSERT_EQ(confirm.permanentAsked.size(), 1u);
    EXPECT_EQ(confirm.permanentAsked[0], std::vector<std::string>{(home / "kept.txt").string()});
    EXPECT_TRUE(fs::exists(home / "kept.txt"));
    confirm.permanentAnswer = true;
    EXPECT_EQ(Invoke(menu.get(), "delete"), S_OK);
    EXPECT_FALSE(fs::exists(home / "kept.txt"));
    EXPECT_EQ(confirm.trashAsked.size(), 4u);
    fs::remove(trash);
    fs::rename(test::SessionRoot() / "data/Trash.saved", trash);
    fs::remove_all(home);
}

TEST_F(ShellObjects, DataObjectNamesTheItems)
{
    Write(dir.path() / "x/one", "1");
    Write(dir.path() / "x/two", "2");
    auto folder = test::FolderOf((dir.path() / "x").string());
    IdListPtr one, two;
    folder->ParseDisplayName(u"one", nullptr, &one, nullptr);
    folder->ParseDisplayName(u"two", nullptr, &two, nullptr);
    const ItemIdList* items[] = {one.get(), two.get()};
    ComPtr<IDataObject> data;
    ASSERT_EQ(folder->GetUIObjectOf(items, IDataObject::IID_, data.putVoid()), S_OK);
    std::vector<std::string> expected{(dir.path() / "x/one").string(), (dir.path() / "x/two").string()};
    EXPECT_EQ(PathsOfDataObject(data.get()), expected);
    std::vector<std::uint8_t> block;
    ASSERT_TRUE(FetchHGlobal(data.get(), static_cast<CLIPFORMAT>(ShellIdListFormat()), block));
    auto array = ParseIdListArray(block);
    ASSERT_TRUE(array);
    EXPECT_EQ(array->folder, *PathToAbsoluteIdList((dir.path() / "x").string()));
    EXPECT_EQ(array->items, (std::vector<ItemIdList>{*one, *two}));

    // The item-id-list array alone is enough to drop.
    auto only = MakeCom<test::MemoryDataObject>();
    only->blocks[ShellIdListFormat()] = block;
    EXPECT_EQ(PathsOfDataObject(only.get()), expected);
    // A drop target only for a single folder.
    ComPtr<IDropTarget> target;
    EXPECT_EQ(folder->GetUIObjectOf(items, IDropTarget::IID_, target.putVoid()), E_INVALIDARG);
}

TEST(IdListArray, LayoutAndMalformedBlocks)
{
    auto item = *ItemIdList::FromItems({std::string(16, 'a')});  // a list of 20 bytes
    auto block = BuildIdListArray(ItemIdList(), {item});
    ASSERT_EQ(block.size(), 34u);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[4], 12);
    EXPECT_EQ(block[8], 14);
    EXPECT_EQ(ParseIdListArray(block)->items[0], item);
    auto shortBlock = block;
    shortBlock.resize(20);
    EXPECT_FALSE(ParseIdListArray(shortBlock));
    auto wild = block;
    wild[8] = 200;
    EXPECT_FALSE(ParseIdListArray(wild));
    auto huge = block;
    huge[3] = 0x40;  // a count of items far past the block
    EXPECT_FALSE(ParseIdListArray(huge));
}

}  // namespace
