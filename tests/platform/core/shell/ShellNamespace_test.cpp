#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/TextEncoding.h"
#include "platform/core/shell/ShellFolder.h"
#include "platform/core/shell/ShellItems.h"
#include "tests/support/ShellTestEnv.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::shell;
using ql::com::ComPtr;
using ql::com::FAILED;

namespace {

// A tree below HOME, made fresh for each test and removed afterwards.
class HomeTree {
public:
    HomeTree()
    {
        static int n = 0;
        root_ = test::HomeDir() / ("tree" + std::to_string(++n));
        fs::create_directories(root_);
    }
    ~HomeTree()
    {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root_, ec);
    }
    fs::path operator/(const std::string& rel) const { return root_ / rel; }
    std::string str() const { return root_.string(); }
    void File(const std::string& rel, const std::string& bytes = "x") const
    {
        fs::create_directories((root_ / rel).parent_path());
        std::ofstream(root_ / rel, std::ios::binary) << bytes;
    }
    void Dir(const std::string& rel) const { fs::create_directories(root_ / rel); }

private:
    fs::path root_;
};

std::vector<std::string> Names(IShellFolder* folder, DWORD flags)
{
    ComPtr<IEnumIDList> e;
    std::vector<std::string> names;
    if (FAILED(folder->EnumObjects(flags, e.put())))
        return {"<failed>"};
    IdListPtr item;
    ULONG got = 0;
    while (e->Next(1, &item, &got) == com::S_OK && got == 1)
        names.push_back(test::DisplayName(folder, *item, SHGDN_INFOLDER));
    std::sort(names.begin(), names.end());
    return names;
}

ItemIdList Parse(IShellFolder* folder, const std::string& name)
{
    IdListPtr out;
    EXPECT_EQ(folder->ParseDisplayName(Utf8ToUtf16(name), nullptr, &out, nullptr), com::S_OK) << name;
    return out ? *out : ItemIdList();
}

ULONG Attributes(IShellFolder* folder, const ItemIdList& item, ULONG mask = 0xFFFFFFFF)
{
    const ItemIdList* items[] = {&item};
    EXPECT_EQ(folder->GetAttributesOf(items, &mask), com::S_OK);
    return mask;
}

class ShellNamespace : public ::testing::Test {
protected:
    void SetUp() override { test::SessionRoot(); }
};

TEST_F(ShellNamespace, PathsAndListsRoundTripInsideAndOutsideHome)
{
    HomeTree tree;
    tree.File("Grüße/.hidden");
    tree.File("Grüße/sub/leaf.txt");
    std::string inside = (tree / "Grüße/sub/leaf.txt").string();
    auto list = PathToAbsoluteIdList(inside);
    ASSERT_TRUE(list);
    // Home, the tree folder, Grüße, sub, leaf.txt
    EXPECT_EQ(list->ItemCount(), 5u);
    EXPECT_EQ(ShellItem::Decode(list->ItemData(0))->kind, ItemKind::Home);
    EXPECT_EQ(SHGetPathFromIDList(list.get()), inside);
    EXPECT_EQ(SHGetPathFromIDList(PathToAbsoluteIdList((tree / "Grüße/.hidden").string()).get()),
              (tree / "Grüße/.hidden").string());
    // Dots and doubled slashes are tidied; the home folder itself is Home.
    EXPECT_EQ(*PathToAbsoluteIdList(tree.str() + "//Grüße/./sub/../sub/leaf.txt"), *list);
    EXPECT_EQ(PathToAbsoluteIdList(test::HomeDir().string())->ItemCount(), 1u);

    test::TempDir outside;
    outside.write("a b/c", "1");
    auto out = PathToAbsoluteIdList((outside.path() / "a b/c").string());
    ASSERT_TRUE(out);
    EXPECT_EQ(ShellItem::Decode(out->ItemData(0))->kind, ItemKind::Computer);
    EXPECT_EQ(ShellItem::Decode(out->ItemData(1))->kind, ItemKind::FileSystemRoot);
    EXPECT_EQ(SHGetPathFromIDList(out.get()), (outside.path() / "a b/c").string());
    EXPECT_EQ(SHGetPathFromIDList(PathToAbsoluteIdList("/").get()), "/");

    // Missing items and relative paths name nothing; long paths are never cut short.
    EXPECT_FALSE(PathToAbsoluteIdList((tree / "Grüße/missing").string()));
    EXPECT_FALSE(PathToAbsoluteIdList("relative/path"));
    std::string longRel = std::string(120, 'a') + "/" + std::string(120, 'b') + "/" + std::string(120, 'c');
    tree.File(longRel);
    auto longList = PathToAbsoluteIdList((tree / longRel).string());
    ASSERT_TRUE(longList);
    EXPECT_EQ(SHGetPathFromIDList(longList.get()), (tree / longRel).string());

    // The desktop and Computer have no path; a list with a forged name has none either.
    ItemIdList desktop;
    EXPECT_EQ(SHGetPathFromIDList(&desktop), "");
    EXPECT_EQ(SHGetPathFromIDList(nullptr), "");
    auto forged = ItemIdList::FromItems({ShellItem{ItemKind::Home, true, {}}.Encode(), std::string("\x05\x01..", 4)});
    EXPECT_EQ(SHGetPathFromIDList(&*forged), "");
}

TEST_F(ShellNamespace, DesktopHoldsHomeTheDesktopFolderEntriesAndComputer)
{
    HomeTree tree;
    tree.File("MyDesk/note.txt");
    tree.Dir("MyDesk/Projects");
    std::ofstream(test::SessionRoot() / "config/user-dirs.dirs")
        << "# written by a test\nXDG_DESKTOP_DIR=\"$HOME/" << (tree / "MyDesk").filename().string() << "\"\n";
    // The desktop folder named in user-dirs.dirs is relative to the tree folder's parent, HOME.
    fs::rename(tree / "MyDesk", test::HomeDir() / (tree / "MyDesk").filename());
    auto desk = test::HomeDir() / "MyDesk";
    EXPECT_EQ(DesktopDirectoryPath(), desk.string());

    auto desktop = test::Desktop();
    EXPECT_EQ(Names(desktop.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS),
              (std::vector<std::string>{"Computer", "Home", "Projects", "note.txt"}));
    EXPECT_EQ(Names(desktop.get(), SHCONTF_NONFOLDERS), (std::vector<std::string>{"note.txt"}));

    // A desktop entry resolves into the desktop folder and can be renamed there.
    auto note = Parse(desktop.get(), (desk / "note.txt").string());
    EXPECT_EQ(SHGetPathFromIDList(&note), (desk / "note.txt").string());
    auto entry = *ItemIdList::FromItems({ShellItem{ItemKind::File, false, "note.txt"}.Encode()});
    EXPECT_EQ(SHGetPathFromIDList(&entry), (desk / "note.txt").string());
    EXPECT_EQ(desktop->SetNameOf(entry, u"memo.txt", SHGDN_INFOLDER, nullptr), com::S_OK);
    EXPECT_TRUE(fs::exists(desk / "memo.txt"));

    // Computer holds the file-system root.
    IdListPtr computer;
    ASSERT_EQ(SHGetSpecialFolderLocation(CSIDL_DRIVES, &computer), com::S_OK);
    ComPtr<IShellFolder> drives;
    ASSERT_EQ(desktop->BindToObject(*computer, IShellFolder::IID_, drives.putVoid()), com::S_OK);
    auto names = Names(drives.get(), SHCONTF_FOLDERS);
    EXPECT_EQ(names.front(), "File System");

    fs::remove(test::SessionRoot() / "config/user-dirs.dirs");
    fs::remove_all(desk);
}

TEST_F(ShellNamespace, SpecialFolders)
{
    IdListPtr list;
    ASSERT_EQ(SHGetSpecialFolderLocation(CSIDL_DESKTOP, &list), com::S_OK);
    EXPECT_TRUE(list->IsEmpty());
    // Send To is the program's own folder below the user's data folder, once it exists.
    EXPECT_TRUE(FAILED(SHGetSpecialFolderLocation(CSIDL_SENDTO, &list)));
    fs::create_directories(SendToPath());
    ASSERT_EQ(SHGetSpecialFolderLocation(CSIDL_SENDTO, &list), com::S_OK);
    EXPECT_EQ(SHGetPathFromIDList(list.get()), SendToPath());
    fs::remove_all(SendToPath());
    EXPECT_TRUE(FAILED(SHGetSpecialFolderLocation(0x1A, &list)));  // one that does not exist here
    EXPECT_FALSE(list);
    // Documents without user-dirs.dirs is the home folder itself.
    ASSERT_EQ(SHGetSpecialFolderLocation(CSIDL_PERSONAL, &list), com::S_OK);
    EXPECT_EQ(SHGetPathFromIDList(list.get()), test::HomeDir().string());
    // The desktop folder does not exist in the test home: its lookup fails.
    EXPECT_TRUE(FAILED(SHGetSpecialFolderLocation(CSIDL_DESKTOPDIRECTORY, &list)));
    fs::create_directories(test::HomeDir() / "Desktop");
    EXPECT_EQ(SHGetSpecialFolderLocation(CSIDL_DESKTOPDIRECTORY, &list), com::S_OK);
    EXPECT_EQ(SHGetPathFromIDList(list.get()), (test::HomeDir() / "Desktop").string());
    fs::remove(test::HomeDir() / "Desktop");
}

TEST_F(ShellNamespace, EnumerationHonoursFoldersNonFoldersAndHidden)
{
    HomeTree tree;
    tree.Dir("dir");
    tree.Dir(".hiddendir");
    tree.File("file");
    tree.File(".dotfile");
    fs::create_symlink(tree / "dir", tree / "linkdir");
    fs::create_symlink(tree / "missing", tree / "dangling");
    auto folder = test::FolderOf(tree.str());
    ASSERT_TRUE(folder);
    using V = std::vector<std::string>;
    EXPECT_EQ(Names(folder.get(), SHCONTF_FOLDERS), (V{"dir", "linkdir"}));
    EXPECT_EQ(Names(folder.get(), SHCONTF_NONFOLDERS), (V{"dangling", "file"}));
    EXPECT_EQ(Names(folder.get(), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN), (V{".hiddendir", "dir", "linkdir"}));
    EXPECT_EQ(Names(folder.get(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN).size(), 6u);
    EXPECT_EQ(Names(folder.get(), 0), V{});

    // A folder we may not read cannot be listed.
    tree.File("locked/inside");
    fs::permissions(tree / "locked", fs::perms::none);
    auto locked = test::FolderOf((tree / "locked").string());
    ASSERT_TRUE(locked);
    ComPtr<IEnumIDList> e;
    EXPECT_EQ(ErrnoOfHResult(locked->EnumObjects(SHCONTF_NONFOLDERS, e.put())), EACCES);
    EXPECT_FALSE(e);
}

TEST_F(ShellNamespace, ParseBindAndDisplayNames)
{
    HomeTree tree;
    tree.File("a/b/c.txt");
    auto folder = test::FolderOf(tree.str());
    auto abc = Parse(folder.get(), "a/b/c.txt");
    EXPECT_EQ(abc.ItemCount(), 3u);
    IdListPtr out;
    EXPECT_TRUE(FAILED(folder->ParseDisplayName(u"a/../../x", nullptr, &out, nullptr)));
    EXPECT_TRUE(FAILED(folder->ParseDisplayName(u"a/missing", nullptr, &out, nullptr)));
    EXPECT_TRUE(FAILED(folder->ParseDisplayName(Utf8ToUtf16((tree / "a").string()), nullptr, &out, nullptr)));
    ULONG eaten = 0, attrs = SFGAO_FOLDER;
    ASSERT_EQ(folder->ParseDisplayName(u"a/b", &eaten, &out, &attrs), com::S_OK);
    EXPECT_EQ(eaten, 3u);
    EXPECT_EQ(attrs, SFGAO_FOLDER);

    ComPtr<IShellFolder> b;
    ASSERT_EQ(folder->BindToObject(*out, IShellFolder::IID_, b.putVoid()), com::S_OK);
    auto c = Parse(b.get(), "c.txt");
    EXPECT_EQ(test::DisplayName(b.get(), c, SHGDN_NORMAL), "c.txt");
    EXPECT_EQ(test::DisplayName(b.get(), c, SHGDN_INFOLDER | SHGDN_FORPARSING), "c.txt");
    EXPECT_EQ(test::DisplayName(b.get(), c, SHGDN_FORPARSING), (tree / "a/b/c.txt").string());
    ComPtr<IShellFolder> notFolder;
    EXPECT_EQ(ErrnoOfHResult(b->BindToObject(c, IShellFolder::IID_, notFolder.putVoid())), ENOTDIR);

    auto desktop = test::Desktop();
    auto home = *ItemIdList::FromItems({ShellItem{ItemKind::Home, true, {}}.Encode()});
    EXPECT_EQ(test::DisplayName(desktop.get(), home, SHGDN_NORMAL), "Home");
    EXPECT_EQ(test::DisplayName(desktop.get(), home, SHGDN_FORPARSING), test::HomeDir().string());
    // An item id that does not decode is refused everywhere.
    auto bad = *ItemIdList::FromItems({std::string("\x09\x00z", 3)});
    STRRET name;
    EXPECT_EQ(folder->GetDisplayNameOf(bad, SHGDN_NORMAL, &name), com::E_INVALIDARG);
    EXPECT_EQ(folder->BindToObject(bad, IShellFolder::IID_, notFolder.putVoid()), com::E_INVALIDARG);
}

TEST_F(ShellNamespace, AttributesComeFromRealPermissions)
{
    HomeTree tree;
    tree.File("dir/sub/f");
    tree.File("empty/.keep");
    tree.File("ro.txt");
    tree.File(".hidden");
    fs::permissions(tree / "ro.txt", fs::perms::owner_read);
    fs::create_symlink(tree / "dir", tree / "link");
    auto folder = test::FolderOf(tree.str());
    ULONG dir = Attributes(folder.get(), Parse(folder.get(), "dir"));
    EXPECT_TRUE(dir & SFGAO_FOLDER);
    EXPECT_TRUE(dir & SFGAO_HASSUBFOLDER);
    EXPECT_TRUE(dir & SFGAO_FILESYSTEM);
    EXPECT_EQ(dir & SFGAO_CAPABILITYMASK & ~SFGAO_DROPTARGET,
              SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE);
    EXPECT_FALSE(dir & (SFGAO_LINK | SFGAO_HIDDEN | SFGAO_READONLY));
    EXPECT_FALSE(Attributes(folder.get(), Parse(folder.get(), "empty")) & SFGAO_HASSUBFOLDER);
    ULONG ro = Attributes(folder.get(), Parse(folder.get(), "ro.txt"));
    EXPECT_TRUE(ro & SFGAO_READONLY);
    EXPECT_FALSE(ro & SFGAO_FOLDER);
    EXPECT_TRUE(Attributes(folder.get(), Parse(folder.get(), ".hidden")) & SFGAO_HIDDEN);
    ULONG link = Attributes(folder.get(), Parse(folder.get(), "link"));
    EXPECT_TRUE((link & SFGAO_LINK) && (link & SFGAO_FOLDER));

    // In a folder we may not write, nothing can be renamed, moved or deleted; the
    // intersection over several items keeps only what all of them have.
    auto sub = Parse(folder.get(), "dir/sub");
    fs::permissions(tree / "dir", fs::perms::owner_read | fs::perms::owner_exec);
    ULONG s = Attributes(folder.get(), sub);
    EXPECT_FALSE(s & (SFGAO_CANRENAME | SFGAO_CANMOVE | SFGAO_CANDELETE));
    EXPECT_TRUE(s & SFGAO_CANCOPY);
    auto d = Parse(folder.get(), "dir");
    auto r = Parse(folder.get(), "ro.txt");
    const ItemIdList* both[] = {&d, &r};
    ULONG mask = SFGAO_FOLDER | SFGAO_READONLY | SFGAO_CANCOPY;
    ASSERT_EQ(folder->GetAttributesOf(both, &mask), com::S_OK);
    EXPECT_EQ(mask, SFGAO_READONLY | SFGAO_CANCOPY);  // "dir" lost its write bit above

    fs::remove(tree / ".hidden");
    ULONG gone = SFGAO_FOLDER;
    auto hidden = *ItemIdList::FromItems({ShellItem{ItemKind::File, false, ".hidden"}.Encode()});
    const ItemIdList* one[] = {&hidden};
    EXPECT_EQ(ErrnoOfHResult(folder->GetAttributesOf(one, &gone)), ENOENT);
}

TEST_F(ShellNamespace, CompareIsAStrictOrderWithFoldersFirst)
{
    HomeTree tree;
    tree.File("b.txt", "1234567");
    tree.File("B.txt", "1");
    tree.File("a.zip", "12");
    tree.File("c.abc", "123");
    tree.Dir("zdir");
    tree.Dir("Adir");
    auto folder = test::FolderOf(tree.str());
    auto sorted = [&](int column) {
        ComPtr<IEnumIDList> e;
        folder->EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, e.put());
        std::vector<ItemIdList> items;
        IdListPtr item;
        while (e->Next(1, &item, nullptr) == com::S_OK)
            items.push_back(*item);
        // Every distinct pair is ordered one way and its reverse the other.
        for (auto& x : items)
            for (auto& y : items) {
                int xy = ShortFromResult(folder->CompareIDs(column, x, y));
                int yx = ShortFromResult(folder->CompareIDs(column, y, x));
                EXPECT_EQ(xy, -yx);
                EXPECT_EQ(xy == 0, x == y);
            }
        std::sort(items.begin(), items.end(), [&](const ItemIdList& x, const ItemIdList& y) {
            return ShortFromResult(folder->CompareIDs(column, x, y)) < 0;
        });
        std::vector<std::string> names;
        for (auto& i : items)
            names.push_back(test::DisplayName(folder.get(), i, SHGDN_INFOLDER));
        return names;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(sorted(kColumnName), (V{"Adir", "zdir", "a.zip", "B.txt", "b.txt", "c.abc"}));
    EXPECT_EQ(sorted(kColumnSize), (V{"Adir", "zdir", "B.txt", "a.zip", "c.abc", "b.txt"}));
    EXPECT_EQ(sorted(kColumnType), (V{"Adir", "zdir", "c.abc", "B.txt", "b.txt", "a.zip"}));

    // Deeper lists compare item by item; a parent comes before its children.
    tree.File("zdir/x");
    auto zdir = Parse(folder.get(), "zdir");
    auto zx = Parse(folder.get(), "zdir/x");
    EXPECT_LT(ShortFromResult(folder->CompareIDs(0, zdir, zx)), 0);
    EXPECT_LT(ShortFromResult(folder->CompareIDs(0, Parse(folder.get(), "Adir"), zx)), 0);
}

TEST_F(ShellNamespace, RenameNeverReplacesAndRefusesBadNames)
{
    HomeTree tree;
    tree.File("one", "1");
    tree.File("two", "2");
    tree.Dir("folder");
    auto folder = test::FolderOf(tree.str());
    auto one = Parse(folder.get(), "one");
    EXPECT_EQ(ErrnoOfHResult(folder->SetNameOf(one, u"two", SHGDN_INFOLDER, nullptr)), EEXIST);
    EXPECT_EQ(ErrnoOfHResult(folder->SetNameOf(one, u"folder", SHGDN_INFOLDER, nullptr)), EEXIST);
    std::ifstream two(tree / "two");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(two), {}), "2");
    for (std::u16string bad : std::vector<std::u16string>{u"", u".", u"..", u"a/b", std::u16string(u"a\0b", 3)})
        EXPECT_EQ(folder->SetNameOf(one, bad, 0, nullptr), com::E_INVALIDARG);
    EXPECT_TRUE(fs::exists(tree / "one"));

    IdListPtr renamed;
    ASSERT_EQ(folder->SetNameOf(one, u"één", SHGDN_INFOLDER, &renamed), com::S_OK);
    EXPECT_TRUE(fs::exists(tree / "één"));
    EXPECT_FALSE(fs::exists(tree / "one"));
    EXPECT_EQ(test::DisplayName(folder.get(), *renamed, SHGDN_INFOLDER), "één");
    // Virtual items have no name on disk to change.
    auto home = *ItemIdList::FromItems({ShellItem{ItemKind::Home, true, {}}.Encode()});
    EXPECT_EQ(test::Desktop()->SetNameOf(home, u"x", 0, nullptr), com::E_INVALIDARG);
}

TEST(ShellPlaces, UserDirsAndMountInfo)
{
    std::string dirs = "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOCUMENTS_DIR=\"/data/docs/\"\r\n"
                       "XDG_MUSIC_DIR=\"relative\"\n";
    EXPECT_EQ(UserDirFromText(dirs, "XDG_DESKTOP_DIR", "/home/u"), "/home/u/Schreibtisch");
    EXPECT_EQ(UserDirFromText(dirs, "XDG_DOCUMENTS_DIR", "/home/u"), "/data/docs");
    EXPECT_EQ(UserDirFromText(dirs, "XDG_MUSIC_DIR", "/home/u"), "");
    EXPECT_EQ(UserDirFromText(dirs, "XDG_VIDEOS_DIR", "/home/u"), "");

    std::string info = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                       "40 22 8:17 / /media/u/My\\040Stick rw shared:2 - vfat /dev/sdb1 rw\n"
                       "41 22 8:33 / /run/media/u/DISK rw - ext4 /dev/sdc1 rw\n"
                       "42 22 8:49 / /mnt rw - ext4 /dev/sdd1 rw\n"
                       "43 22 8:50 / /mnt/backup rw - ext4 /dev/sdd2 rw\n"
                       "44 22 0:5 / /proc rw - proc proc rw\n"
                       "45 22 8:51 / /media/u/../../etc rw - ext4 /dev/sdd3 rw\n"
                       "46 22 8:50 / /mnt/backup rw - ext4 /dev/sdd2 rw\n"
                       "short line\n";
    EXPECT_TRUE(IsOnRemovableVolume("/media/u/stick/file"));
    EXPECT_FALSE(IsOnRemovableVolume("/media"));
    EXPECT_FALSE(IsOnRemovableVolume("/home/u/media/x"));
    EXPECT_EQ(VolumesFromMountInfo(info),
              (std::vector<std::string>{"/media/u/My Stick", "/run/media/u/DISK", "/mnt/backup"}));
}

TEST(ShellItems, TailsOfLists)
{
    auto list = *ItemIdList::FromItems({"a", "bb", "ccc"});
    EXPECT_EQ(list.Tail(1), *ItemIdList::FromItems({"bb", "ccc"}));
    EXPECT_EQ(list.Tail(2).ItemData(0), "ccc");
    EXPECT_EQ(*ItemIdList::Join(*list.Ancestor(2), list.Tail(1)), list);
    EXPECT_TRUE(list.Tail(3).IsEmpty());
    EXPECT_TRUE(list.Tail(9).IsEmpty());
    EXPECT_EQ(list.Tail(0), list);
}

TEST(ShellItems, DecodingRefusesIdsThatCouldLeaveTheirFolder)
{
    EXPECT_TRUE(ShellItem::Decode(ShellItem{ItemKind::File, true, "ok name"}.Encode()));
    for (std::string bad :
         {std::string(""), std::string("\x05"), std::string("\x05\x00", 2), std::string("\x05\x00..", 4),
          std::string("\x05\x00"
                      "a/b",
                      5),
          std::string("\x05\x02x", 3), std::string("\x01\x01x", 3), std::string("\x04\x01relative", 10),
          std::string("\x04\x01/mnt/../etc", 13), std::string("\x07\x00x", 3)})
        EXPECT_FALSE(ShellItem::Decode(bad)) << bad;
}

}  // namespace
