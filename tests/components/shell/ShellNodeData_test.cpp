#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "components/shell/ShellErrors.h"
#include "components/shell/ShellItemUtils.h"
#include "components/shell/ShellNodeData.h"
#include "tests/support/ShellTestEnv.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::shellctl;

namespace {

class FolderSource : public TSvShListSource {
public:
    explicit FolderSource(const std::string& path)
        : list_(shell::PathToAbsoluteIdList(path)), folder_(test::FolderOf(path))
    {
    }
    IShellFolder* ListShellFolder() override { return folder_.get(); }
    const ItemIdList* ListFolderIdList() override { return list_.get(); }

private:
    IdListPtr list_;
    ComPtr<IShellFolder> folder_;
};

IdListPtr Relative(IShellFolder* folder, const char* name)
{
    IdListPtr out;
    folder->ParseDisplayName(std::u16string(name, name + std::strlen(name)), nullptr, &out, nullptr);
    return out;
}

TEST(TSvShTreeData, DesktopTopLevelAndChildNodes)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("top/child/leaf", "");
    TSvShTreeData uninit(nullptr);
    EXPECT_THROW(uninit.Path(), EShellError);

    // The desktop node: empty list, the desktop's folder, never renamed.
    ItemIdList desktopList;
    TSvShTreeData desktop(nullptr);
    desktop.Init(nullptr, &desktopList);
    EXPECT_TRUE(desktop.AbsoluteIdList()->IsEmpty());
    ASSERT_TRUE(desktop.ShellFolder());
    EXPECT_FALSE(desktop.CanRename());
    EXPECT_EQ(desktop.Path(), "");

    // A top-level node with the folder the tree enumerated, and a child below it.
    auto topList = shell::PathToAbsoluteIdList((dir.path() / "top").string());
    TSvShTreeData top(nullptr);
    top.Init(nullptr, topList.get());
    top.SetShellFolder(test::FolderOf((dir.path() / "top").string()));
    EXPECT_FALSE(top.CanRename());
    EXPECT_EQ(top.Path(), (dir.path() / "top").string());

    auto childRel = Relative(top.ShellFolder(), "child");
    TSvShTreeData child(nullptr);
    child.Init(&top, childRel.get());
    EXPECT_EQ(child.Path(), (dir.path() / "top/child").string());
    EXPECT_TRUE(child.CanRename());
    ASSERT_TRUE(child.ShellFolder());
    EXPECT_EQ(test::DisplayName(child.ShellFolder(), *Relative(child.ShellFolder(), "leaf"), shell::SHGDN_FORPARSING),
              (dir.path() / "top/child/leaf").string());
    ComPtr<com::IDropTarget> target;
    EXPECT_EQ(child.GetDropTarget(target), com::S_OK);
    EXPECT_EQ(top.GetDropTarget(target), com::S_OK);

    // After a rename the node names the new item.
    IdListPtr renamed;
    ASSERT_EQ(top.ShellFolder()->SetNameOf(*childRel, u"kid", 0, &renamed), com::S_OK);
    child.SetRelativeIdList(*renamed);
    EXPECT_EQ(child.Path(), (dir.path() / "top/kid").string());
    ASSERT_TRUE(child.ShellFolder());
    fs::permissions(dir.path() / "top", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(child.CanRename());
    fs::permissions(dir.path() / "top", fs::perms::owner_all);
}

TEST(TSvShListData, ColumnsAttributesAndCaches)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("big.bin", std::string(2048, 'b'));
    dir.write("sub/x", "");
    fs::create_symlink(dir.path() / "big.bin", dir.path() / "SHORTCUT.LNK");
    FolderSource source(dir.path().string());
    TSvShListData item(source);
    item.SetRelativeIdList(Relative(source.ListShellFolder(), "big.bin"));
    EXPECT_EQ(item.Path(), (dir.path() / "big.bin").string());
    EXPECT_EQ(item.DisplayName(), "big.bin");
    EXPECT_FALSE(item.IsFolder());
    EXPECT_TRUE(item.CanRename());
    EXPECT_FALSE(item.IsLink());
    EXPECT_EQ(item.ColumnText(0), "");
    EXPECT_EQ(item.ColumnText(1), "2KB");
    EXPECT_FALSE(item.ColumnText(2).empty());
    EXPECT_FALSE(item.ColumnText(3).empty());
    EXPECT_EQ(item.ColumnText(4), "");

    // Texts are cached until the item is invalidated.
    std::ofstream(dir.path() / "big.bin", std::ios::app) << std::string(4096, 'c');
    EXPECT_EQ(item.ColumnText(1), "2KB");
    item.Invalidate();
    EXPECT_EQ(item.ColumnText(1), "6KB");

    TSvShListData link(source);
    link.SetRelativeIdList(Relative(source.ListShellFolder(), "SHORTCUT.LNK"));
    EXPECT_TRUE(link.IsLink());
    TSvShListData folder(source);
    folder.SetRelativeIdList(Relative(source.ListShellFolder(), "sub"));
    EXPECT_TRUE(folder.IsFolder());
    EXPECT_EQ(folder.ColumnText(1), "");

    // An item that vanished has no attributes.
    fs::remove(dir.path() / "big.bin");
    EXPECT_EQ(item.Attributes(), 0u);
    TSvShComboData combo;
    combo.FirstIdList = CopyIdList(nullptr);
}

}  // namespace
