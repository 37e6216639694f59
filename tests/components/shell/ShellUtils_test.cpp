#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "components/shell/ShellErrors.h"
#include "components/shell/ShellUtils.h"
#include "platform/core/shell/ShellItems.h"
#include "tests/support/ShellTestEnv.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::shellctl;

namespace {

ItemIdList OneItem(std::size_t listSize) { return *ItemIdList::FromItems({std::string(listSize - 4, 'x')}); }

TEST(ShellUtils, IdListArithmetic)
{
    EXPECT_EQ(IdListSize(nullptr), 0u);
    ItemIdList empty;
    EXPECT_EQ(IdListSize(&empty), 2u);
    auto one = OneItem(22);
    EXPECT_EQ(IdListSize(&one), 22u);
    EXPECT_EQ(CopyIdList(nullptr)->Size(), 2u);
    EXPECT_EQ(*ConcatIdLists(&empty, &one), one);
    EXPECT_EQ(*ConcatIdLists(nullptr, &one), one);
    EXPECT_EQ(ConcatIdLists(&one, &one)->ItemCount(), 2u);
}

TEST(ShellUtils, CompareIdListsOfNilAndEmptyLists)
{
    test::SessionRoot();
    ItemIdList e1, e2;
    auto home = shell::PathToAbsoluteIdList(test::HomeDir().string());
    EXPECT_EQ(CompareIdLists(nullptr, nullptr), 0);
    EXPECT_EQ(CompareIdLists(nullptr, home.get()), -1);
    EXPECT_EQ(CompareIdLists(home.get(), nullptr), -1);
    EXPECT_EQ(CompareIdLists(&e1, &e2), 0);
    EXPECT_EQ(CompareIdLists(&e1, home.get()), -1);
    EXPECT_EQ(CompareIdLists(home.get(), &e1), -1);
    EXPECT_EQ(CompareIdLists(home.get(), home.get()), 0);
    auto bad = *ItemIdList::FromItems({"\x09"});
    EXPECT_EQ(CompareIdLists(&bad, home.get()), kCompareFailed);
    auto root = shell::PathToAbsoluteIdList("/");
    EXPECT_LT(CompareIdLists(home.get(), root.get()), 0);  // Home before Computer
    EXPECT_GT(CompareIdLists(root.get(), home.get()), 0);
}

TEST(ShellUtils, PathsFoldersAndNames)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("a/b.txt", "1");
    IdListPtr list;
    ASSERT_EQ(PathToIdList((dir.path() / "a/b.txt").string(), list), com::S_OK);
    EXPECT_EQ(IdListToPath(list.get()), (dir.path() / "a/b.txt").string());
    EXPECT_TRUE(com::FAILED(PathToIdList((dir.path() / "nope").string(), list)));
    EXPECT_FALSE(list);
    EXPECT_EQ(IdListToPath(nullptr), "");

    ComPtr<IShellFolder> folder;
    ASSERT_EQ(GetShellFolder(nullptr, folder), com::S_OK);  // the desktop
    PathToIdList((dir.path() / "a").string(), list);
    ASSERT_EQ(GetShellFolder(list.get(), folder), com::S_OK);
    auto item = *ItemIdList::FromItems({shell::ShellItem{shell::ItemKind::File, false, "b.txt"}.Encode()});
    EXPECT_EQ(GetDisplayName(folder.get(), item, svdnNormal), "b.txt");
    EXPECT_EQ(GetDisplayName(folder.get(), item, svdnForParsing), (dir.path() / "a/b.txt").string());
    auto computer = *ItemIdList::FromItems({shell::ShellItem{shell::ItemKind::Computer, true, {}}.Encode()});
    EXPECT_EQ(GetDisplayName(nullptr, computer, svdnInFolder), "Computer");

    // The special-folder number is masked to its low seven bits.
    IdListPtr drives;
    EXPECT_EQ(GetSpecialFolderIdList(0x91, drives), com::S_OK);
    EXPECT_EQ(GetDisplayName(nullptr, *drives, svdnNormal), "Computer");
    EXPECT_EQ(GetSpecialFolderPath(shell::CSIDL_PERSONAL), test::HomeDir().string());
    EXPECT_EQ(GetSpecialFolderPath(0x1A), "");  // a special folder this desktop does not have
}

TEST(ShellUtils, StrRetTextsStayWithinTheirList)
{
    shell::STRRET r;
    r.uType = shell::STRRET_WSTR;
    r.pOleStr = u"wide ü";
    EXPECT_EQ(StrRetToString(nullptr, r), "wide ü");
    r.uType = shell::STRRET_CSTR;
    r.cStr = std::string("abc\0def", 7);
    EXPECT_EQ(StrRetToString(nullptr, r), "abc");
    auto list = *ItemIdList::FromItems({"xyname"});
    r.uType = shell::STRRET_OFFSET;
    r.uOffset = 4;
    EXPECT_EQ(StrRetToString(&list, r), "name");  // stops at the terminator
    r.uOffset = 400;
    EXPECT_EQ(StrRetToString(&list, r), "");
    EXPECT_EQ(StrRetToString(nullptr, r), "");
}

TEST(ShellUtils, SymbolicLinksReadAsShellLinks)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("target/file.txt", "12345");
    fs::create_symlink(dir.path() / "target/file.txt", dir.path() / "link");
    fs::create_symlink(dir.path() / "gone", dir.path() / "dangling");
    TLinkData data;
    data.Path = "untouched";
    EXPECT_TRUE(com::FAILED(ReadShellLink((dir.path() / "target/file.txt").string(), data, true)));
    EXPECT_TRUE(com::FAILED(ReadShellLink((dir.path() / "dangling").string(), data, true)));
    EXPECT_EQ(data.Path, "untouched");
    EXPECT_EQ(data.Valid, 0);

    ASSERT_EQ(ReadShellLink((dir.path() / "link").string(), data, false), com::S_OK);
    EXPECT_EQ(data.Path, fs::canonical(dir.path() / "target/file.txt").string());
    EXPECT_EQ(data.Valid, 0x3F);
    EXPECT_EQ(data.FindData.size, 5u);
    EXPECT_EQ(data.WorkingDirectory, fs::canonical(dir.path() / "target").string());
    EXPECT_EQ(data.ShowCmd, SW_SHOWNORMAL);
    EXPECT_FALSE(data.IdList);
    ASSERT_EQ(ReadShellLink((dir.path() / "link").string(), data, true), com::S_OK);
    ASSERT_TRUE(data.IdList);
    EXPECT_EQ(IdListToPath(data.IdList.get()), data.Path);
}

TEST(ShellUtils, DriveRefreshCounterAndRevalidation)
{
    EXPECT_EQ(DriveRefreshCount(), 0);
    RevalidateDrives();
    BeginDriveRefresh();
    BeginDriveRefresh();
    EXPECT_EQ(DriveRefreshCount(), 2);
    RevalidateDrives();
    EndDriveRefresh();
    EndDriveRefresh();
    EXPECT_EQ(DriveRefreshCount(), 0);
}

TEST(ShellUtils, TextHelpersKeepCharactersWhole)
{
    EXPECT_EQ(IncludeTrailingChar("/home", '/'), "/home/");
    EXPECT_EQ(IncludeTrailingChar("/home/", '/'), "/home/");
    EXPECT_EQ(IncludeTrailingChar("", '/'), "");
    EXPECT_EQ(IncludeTrailingChar("Grüß", '/'), "Grüß/");
    std::string source = "aé€b";
    std::string dest;
    std::size_t pos = 1;
    AppendMbcsChar(pos, source, dest);
    EXPECT_EQ(pos, 2u);
    AppendMbcsChar(pos, source, dest);
    EXPECT_EQ(pos, 4u);
    EXPECT_EQ(dest, "aé");
    AppendMbcsChar(pos, source, dest);
    EXPECT_EQ(dest, "aé€");
    EXPECT_EQ(pos, 7u);
    std::string broken = "\xE2\x82";  // a cut-off character goes byte by byte
    pos = 1;
    dest.clear();
    AppendMbcsChar(pos, broken, dest);
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(dest, "\xE2");
    EXPECT_TRUE(IsWinNT());
    EXPECT_GE(ComCtlVersion.dwFileVersionMS, kComCtlTreeToolTips);
}

}  // namespace
