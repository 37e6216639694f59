#include <filesystem>
#include <gtest/gtest.h>

#include "components/shell/CommandShortcuts.h"
#include "components/shell/ShellControlsUnit.h"
#include "components/shell/ShellLocator.h"
#include "platform/core/ClipboardFormats.h"
#include "tests/support/ShellTestEnv.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::shellctl;

namespace {

class Locator : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::SessionRoot();
        locator.OnLocatorChange = [this](TSvShellLocator& l) {
            EXPECT_EQ(&l, &locator);
            ++changes;
        };
    }
    static std::unique_ptr<TSvShellLocator> Special(std::uint8_t csidl)
    {
        auto l = std::make_unique<TSvShellLocator>();
        EXPECT_TRUE(l->ReadPidl({1, csidl}));
        return l;
    }
    TSvShellLocator locator;
    int changes = 0;
    test::TempDir dir;
};

TEST_F(Locator, PathsAndTheChangesTheyFire)
{
    dir.write("folder/x", "");
    std::string folder = (dir.path() / "folder").string();
    locator.SetPath(folder);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(locator.GetPath(), folder);
    locator.SetPath(folder);
    EXPECT_EQ(changes, 1);  // the same folder again
    locator.SetPath((dir.path() / "missing").string());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(locator.GetIdList(), nullptr);  // the desktop
    EXPECT_EQ(locator.GetPath(), "");
    locator.SetPath("/no/such/place");
    EXPECT_EQ(changes, 2);

    // The desktop's empty list on a fresh locator fires, but nil is held.
    TSvShellLocator fresh;
    int freshChanges = 0;
    fresh.OnLocatorChange = [&](TSvShellLocator&) { ++freshChanges; };
    ItemIdList desktop;
    fresh.SetIdList(&desktop);
    EXPECT_EQ(freshChanges, 1);
    EXPECT_EQ(fresh.GetIdList(), nullptr);
    EXPECT_FALSE(fresh.HasPidlData());
    fresh.ClearFolder();
    EXPECT_EQ(freshChanges, 1);
}

TEST_F(Locator, SpecialFoldersResolveLazilyAndAlwaysChange)
{
    auto docsLocator = Special(shell::CSIDL_PERSONAL);
    auto& docs = *docsLocator;
    EXPECT_TRUE(docs.IsSpecialFolder());
    EXPECT_EQ(docs.GetPath(), test::HomeDir().string());
    ASSERT_TRUE(locator.ReadPidl({1, 0x1A}));
    EXPECT_EQ(changes, 0);                    // reading fires nothing
    EXPECT_EQ(locator.GetIdList(), nullptr);  // a folder this desktop lacks: the desktop, asked again later
    auto list = shell::PathToAbsoluteIdList(dir.path().string());
    locator.SetIdList(list.get());
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(locator.IsSpecialFolder());

    auto docs2 = Special(shell::CSIDL_PERSONAL);
    auto drives = Special(shell::CSIDL_DRIVES);
    EXPECT_TRUE(docs.IsSameFolder(*docs2));
    EXPECT_FALSE(docs.IsSameFolder(*drives));
    EXPECT_FALSE(docs.IsSameFolder(locator));
    int assigned = 0;
    docs.OnLocatorChange = [&](TSvShellLocator&) { ++assigned; };
    docs.Assign(docs2.get());
    EXPECT_EQ(assigned, 0);
    docs.Assign(drives.get());
    EXPECT_EQ(assigned, 1);
    EXPECT_EQ(docs.SpecialFolder(), shell::CSIDL_DRIVES);
    docs.Assign(&locator);
    EXPECT_EQ(assigned, 2);
    EXPECT_EQ(docs.GetPath(), dir.path().string());
    docs.Assign(nullptr);
    EXPECT_EQ(assigned, 3);
    EXPECT_EQ(docs.GetIdList(), nullptr);
    docs.Assign(nullptr);
    EXPECT_EQ(assigned, 3);
}

TEST_F(Locator, PidlBytes)
{
    TSvShellLocator fresh;
    EXPECT_FALSE(fresh.HasPidlData());
    EXPECT_EQ(Special(shell::CSIDL_PERSONAL)->WritePidl(), (std::vector<std::uint8_t>{0x01, 0x05}));

    dir.write("f/x", "");
    auto list = shell::PathToAbsoluteIdList((dir.path() / "f").string());
    locator.SetIdList(list.get());
    auto bytes = locator.WritePidl();
    ASSERT_EQ(bytes.size(), 5 + list->Size());
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], list->Size() & 0xFF);
    EXPECT_EQ(bytes[bytes.size() - 1], 0);
    EXPECT_EQ(bytes[bytes.size() - 2], 0);
    TSvShellLocator copy;
    ASSERT_TRUE(copy.ReadPidl(bytes));
    EXPECT_TRUE(copy.IsSameFolder(locator));
    EXPECT_EQ(copy.GetPath(), (dir.path() / "f").string());

    // Five zero bytes: the desktop as a special folder.
    ASSERT_TRUE(copy.ReadPidl({0, 0, 0, 0, 0}));
    EXPECT_TRUE(copy.IsSpecialFolder());
    EXPECT_EQ(copy.SpecialFolder(), shell::CSIDL_DESKTOP);

    // Malformed blocks are refused and leave the desktop, never a part of a list.
    std::vector<std::vector<std::uint8_t>> bad = {
        {},
        {1},
        {0, 1, 0},
        {0, 9, 0, 0, 0, 5, 0},              // size past the end
        {0, 4, 0, 0, 0, 3, 0, 0, 0},        // an item running past the list
        {0, 3, 0, 0, 0, 0, 0, 0},           // a list shorter than its size
        {0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0},  // a huge size
    };
    for (const auto& block : bad) {
        TSvShellLocator l;
        ASSERT_TRUE(l.ReadPidl(bytes));
        EXPECT_FALSE(l.ReadPidl(block));
        EXPECT_EQ(l.GetIdList(), nullptr);
        EXPECT_FALSE(l.IsSpecialFolder());
    }
}

TEST(ShellControlsUnit, StartsOnceAndStopsWithTheLastUser)
{
    EXPECT_FALSE(ShellControlsInitialised());
    InitShellControls();
    InitShellControls();
    EXPECT_EQ(ShellIdListFormat(), RegisterClipboardFormat("Shell IDList Array"));
    EXPECT_GE(ShellIdListFormat(), 0xC000);
    EXPECT_EQ(CommandShortcuts()[4].keyText, "Ctrl+V");
    ColumnWidthCache() = {1, 2, 3};
    FinalizeShellControls();
    EXPECT_TRUE(ShellControlsInitialised());
    EXPECT_EQ(ColumnWidthCache().size(), 3u);
    FinalizeShellControls();
    EXPECT_FALSE(ShellControlsInitialised());
    EXPECT_TRUE(ColumnWidthCache().empty());
    EXPECT_EQ(CommandShortcuts()[4].keyText, "");
    FinalizeShellControls();  // one too many changes nothing
    EXPECT_FALSE(ShellControlsInitialised());
}

}  // namespace
