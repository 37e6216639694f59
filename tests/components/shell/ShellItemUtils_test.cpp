#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "components/shell/ShellErrors.h"
#include "components/shell/ShellItemUtils.h"
#include "platform/core/shell/IdListArray.h"
#include "platform/core/shell/PopupMenu.h"
#include "platform/core/shell/ShellItems.h"
#include "platform/core/shell/ShellObjects.h"
#include "platform/core/shell/ShellServices.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/MemoryDataObject.h"
#include "tests/support/ShellTestEnv.h"

namespace fs = std::filesystem;
using namespace ql;
using namespace ql::shellctl;

// The MIME database behind the type names keeps its tables for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libgio-2.0.so\n"; }

namespace {

TEST(ShellItemUtils, FileSizesInKilobytes)
{
    EXPECT_EQ(FormatFileSize(0, ","), "0KB");
    EXPECT_EQ(FormatFileSize(1, ","), "1KB");
    EXPECT_EQ(FormatFileSize(1024, ","), "1KB");
    EXPECT_EQ(FormatFileSize(1025, ","), "2KB");
    EXPECT_EQ(FormatFileSize(1048576, ","), "1,024KB");
    EXPECT_EQ(FormatFileSize(1048576ull * 1024 * 5, "."), "5.242.880KB");
    EXPECT_EQ(FormatFileSize(999 * 1024, ","), "999KB");
}

TEST(ShellItemUtils, ColumnTextsOfFilesFoldersAndRoots)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("notes.txt", std::string(3000, 'x'));
    dir.write("folder/x", "");
    std::string size = "old", modified = "old", type;
    auto file = shell::PathToAbsoluteIdList((dir.path() / "notes.txt").string());
    GetSizeAndModifiedText(file.get(), size, modified);
    EXPECT_EQ(size, FormatFileSize(3000));
    EXPECT_FALSE(modified.empty());
    auto folder = shell::PathToAbsoluteIdList((dir.path() / "folder").string());
    GetSizeAndModifiedText(folder.get(), size, modified);
    EXPECT_EQ(size, "");
    EXPECT_FALSE(modified.empty());
    auto root = shell::PathToAbsoluteIdList("/");
    GetSizeAndModifiedText(root.get(), size, modified);
    EXPECT_EQ(size + modified, "");
    EXPECT_FALSE(IsBeyondDriveRoot("/"));
    EXPECT_FALSE(IsBeyondDriveRoot(""));
    EXPECT_TRUE(IsBeyondDriveRoot((dir.path() / "folder").string()));
    EXPECT_FALSE(IsBeyondDriveRoot("/proc"));  // a mount point

    GetTypeNameText(file.get(), shell::SFGAO_FILESYSTEM, type);
    EXPECT_FALSE(type.empty());
    std::string folderType;
    GetTypeNameText(folder.get(), shell::SFGAO_FILESYSTEM | shell::SFGAO_FOLDER, folderType);
    EXPECT_NE(folderType, type);
    IdListPtr computer;
    shell::SHGetSpecialFolderLocation(shell::CSIDL_DRIVES, &computer);
    GetTypeNameText(computer.get(), shell::SFGAO_FOLDER, type);
    EXPECT_EQ(type, "System Folder");
    EXPECT_EQ(FormatModifiedTime(0).empty(), false);
}

TEST(ShellItemUtils, VerbsRunThroughTheItemsMenu)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("doc.txt", "1");
    test::FakeLauncher launcher;
    shell::SetShellServices({&launcher, nullptr, nullptr});
    auto folder = test::FolderOf(dir.path().string());
    IdListPtr item;
    folder->ParseDisplayName(u"doc.txt", nullptr, &item, nullptr);
    const ItemIdList* items[] = {item.get()};
    ComPtr<shell::IContextMenu> menu;
    shell::PopupMenu popup;
    HRESULT hr = CreateItemContextMenu(folder.get(), items, menu, popup, kFirstShellCommand,
                                       shell::CMF_EXPLORE | shell::CMF_CANRENAME);
    ASSERT_TRUE(com::SUCCEEDED(hr));
    ASSERT_TRUE(menu);
    EXPECT_TRUE(popup.FindById(50));
    EXPECT_TRUE(popup.FindById(68));
    EXPECT_EQ(FindVerbCommand(menu.get(), "Delete"), 4);
    // Without a clipboard there is nothing to paste into and nothing runs.
    EXPECT_EQ(FindVerbCommand(menu.get(), "paste"), -1);
    EXPECT_EQ(InvokeContextMenuVerb(menu.get(), std::string("paste")), com::S_FALSE);
    EXPECT_EQ(InvokeContextMenuVerb(menu.get(), 0u), com::S_OK);
    EXPECT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(InvokeContextMenuVerb(menu.get(), std::string("OPEN")), com::S_OK);
    EXPECT_EQ(launcher.opened.size(), 2u);

    // A folder that cannot give a menu leaves none behind.
    auto forged = *ItemIdList::FromItems({"\x09"});
    const ItemIdList* bad[] = {&forged};
    shell::PopupMenu none;
    EXPECT_TRUE(com::FAILED(CreateItemContextMenu(folder.get(), bad, menu, none, 50, 0)));
    EXPECT_FALSE(menu);
    shell::SetShellServices({});

    try {
        RaiseSystemError(shell::HResultFromErrno(ENOENT));
        ADD_FAILURE();
    } catch (const EShellError& e) {
        EXPECT_STREQ(e.what(), "No such file or directory");
    }
}

TEST(ShellItemUtils, SplitAndObjectsOfAbsoluteLists)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("box/in", "");
    auto box = shell::PathToAbsoluteIdList((dir.path() / "box").string());
    ComPtr<IShellFolder> folder;
    IdListPtr parent, last;
    ASSERT_EQ(SplitIdList(box.get(), folder, parent, last), com::S_OK);
    EXPECT_EQ(IdListToPath(parent.get()), dir.path().string());
    EXPECT_EQ(last->ItemCount(), 1u);
    ComPtr<com::IDropTarget> target;
    EXPECT_EQ(GetUIObjectOfIdList(box.get(), com::IDropTarget::IID_, target.putVoid()), com::S_OK);
    EXPECT_TRUE(target);

    // The desktop stands for its folder on disk, which the test home lacks until made.
    EXPECT_TRUE(com::FAILED(GetDesktopDropTarget(target)));
    SplitDesktopDirectoryIdList(parent, last);
    EXPECT_FALSE(parent || last);
    fs::create_directories(test::HomeDir() / "Desktop");
    EXPECT_EQ(GetDesktopDropTarget(target), com::S_OK);
    ItemIdList desktop;
    ASSERT_EQ(SplitIdList(&desktop, folder, parent, last), com::S_OK);
    EXPECT_EQ(IdListToPath(parent.get()), test::HomeDir().string());
    SplitDesktopDirectoryIdList(parent, last);
    EXPECT_EQ(IdListToPath(parent.get()), test::HomeDir().string());
    fs::remove(test::HomeDir() / "Desktop");
}

TEST(ShellItemUtils, AllowedDropEffectsAreWhatEveryItemAllows)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("src/a", "");
    dir.write("src/b", "");
    auto data = com::MakeCom<test::MemoryDataObject>();
    EXPECT_EQ(AllowedDropEffects(data.get()), 7u);

    auto folder = shell::PathToAbsoluteIdList((dir.path() / "src").string());
    auto item = [&](const char* name) {
        return *ItemIdList::FromItems({shell::ShellItem{shell::ItemKind::File, false, name}.Encode()});
    };
    data->blocks[shell::ShellIdListFormat()] = shell::BuildIdListArray(*folder, {item("a"), item("b")});
    EXPECT_EQ(AllowedDropEffects(data.get()), 7u);
    fs::permissions(dir.path() / "src", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(AllowedDropEffects(data.get()), com::DROPEFFECT_COPY | com::DROPEFFECT_LINK);
    fs::permissions(dir.path() / "src", fs::perms::owner_all);
    // Items that are gone, or a block that does not parse, allow nothing.
    data->blocks[shell::ShellIdListFormat()] = shell::BuildIdListArray(*folder, {item("gone")});
    EXPECT_EQ(AllowedDropEffects(data.get()), 0u);
    data->blocks[shell::ShellIdListFormat()] = {1, 0, 0};
    EXPECT_EQ(AllowedDropEffects(data.get()), 0u);
}

TEST(ShellItemUtils, SendToEntriesAreApplicationsAndVisibleFilesSortedByCaption)
{
    test::TempDir dir;
    dir.write("Zip.desktop",
              "[Desktop Entry]\nType=Application\nName=Zip Archive\nExec=zip %F\nIcon=package-x-generic\n");
    dir.write("fax.desktop", "[Desktop Entry]\nType=Application\nName=Fax\nName[de]=Telefax\nExec=fax %f\n");
    dir.write("link.desktop", "[Desktop Entry]\nType=Link\nName=Site\nURL=http://a/\n");
    dir.write("gone.desktop", "[Desktop Entry]\nType=Application\nName=Gone\nExec=gone\nHidden=true\n");
    dir.write("missing.desktop", "[Desktop Entry]\nType=Application\nName=Missing\nExec=x\nTryExec=/no/such/program\n");
    dir.write(".hidden", "");
    dir.write("folder/x", "");
    dir.write("readme.txt", "");
    std::vector<SendToEntry> list;
    FillSendToList(
        dir.path().string(), {"*.desktop", "*"}, [](const std::string&) { return 3; }, list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].Caption(), "Fax");
    EXPECT_EQ(list[1].Caption(), "readme");
    EXPECT_EQ(list[2].Caption(), "Zip Archive");
    EXPECT_EQ(list[2].name, "Zip.desktop");
    EXPECT_EQ(list[2].path, (dir.path() / "Zip.desktop").string());
    EXPECT_EQ(list[0].iconIndex, 3);
    // Pictures: an application's own icon before its file's; a plain file's by its kind.
    ASSERT_GE(list[2].iconNames.size(), 2u);
    EXPECT_EQ(list[2].iconNames[0], "package-x-generic");
    EXPECT_EQ(list[0].iconNames, std::vector<std::string>(list[2].iconNames.begin() + 1, list[2].iconNames.end()));
    EXPECT_NE(std::find(list[1].iconNames.begin(), list[1].iconNames.end(), "text-plain"), list[1].iconNames.end());

    // The menu's entries carry them.
    shell::PopupMenu menu, placeholder;
    placeholder.Append({1, "(empty)", shell::MF_GRAYED, nullptr, {}});
    menu.Append({0, "Send To", 0, std::make_unique<shell::PopupMenu>(std::move(placeholder)), {}});
    SendToList() = list;
    FillSendToSubmenu(menu);
    SendToList().clear();
    ASSERT_EQ(menu.At(0).submenu->Count(), 3u);
    EXPECT_EQ(menu.At(0).submenu->At(2).icon, list[2].iconNames);
}

TEST(ShellItemUtils, SendToFoldersAreTheProgramsOwnThenTheFileManagers)
{
    test::SessionRoot();
    test::TempDir system;
    const std::string data = std::getenv("XDG_DATA_HOME");
    const std::string oldDirs = std::getenv("XDG_DATA_DIRS") ? std::getenv("XDG_DATA_DIRS") : "";
    setenv("XDG_DATA_DIRS", (system.dir() + "share/:relative:" + system.dir() + "share").c_str(), 1);
    EXPECT_EQ(shell::SendToFolders(), (std::vector<std::string>{data + "/quillory/sendto", data + "/Thunar/sendto",
                                                                system.dir() + "share/Thunar/sendto"}));

    // An entry of the program's own folder hides the file manager's of the same name.
    system.write("share/Thunar/sendto/mail.desktop", "[Desktop Entry]\nType=Application\nName=Mail\nExec=mail %F\n");
    system.write("share/Thunar/sendto/burn.desktop", "[Desktop Entry]\nType=Application\nName=Burn\nExec=burn %F\n");
    fs::create_directories(data + "/quillory/sendto");
    std::ofstream(data + "/quillory/sendto/mail.desktop")
        << "[Desktop Entry]\nType=Application\nName=Our Mail\nExec=ourmail %F\n";
    EXPECT_EQ(GetSpecialFolderPath(shell::CSIDL_SENDTO), data + "/quillory/sendto");
    SendToList().clear();
    FillSendToListFromFolders();
    ASSERT_EQ(SendToList().size(), 2u);
    EXPECT_EQ(SendToList()[0].Caption(), "Burn");
    EXPECT_EQ(SendToList()[1].Caption(), "Our Mail");
    SendToList().clear();
    fs::remove_all(data + "/quillory");
    setenv("XDG_DATA_DIRS", oldDirs.c_str(), 1);
}

TEST(ShellItemUtils, WheelNotchesScrollLinesOrPages)
{
    EXPECT_FALSE(WheelScrollOf(1, 3).byPage);
    EXPECT_EQ(WheelScrollOf(1, 3).steps, 3);
    EXPECT_EQ(WheelScrollOf(0, 3).steps, 1);  // the horizontal bar: one line whatever the setting
    EXPECT_EQ(WheelScrollOf(0, 9).steps, 1);
    EXPECT_EQ(WheelScrollOf(1, 0x105).steps, 5);
    EXPECT_TRUE(WheelScrollOf(1, -1).byPage);
    EXPECT_EQ(WheelScrollOf(1, -1).steps, 1);
    EXPECT_TRUE(WheelScrollOf(0, -1).byPage);

    // A turn of two notches down with three lines each; in page mode one page per notch.
    WheelTurn turn = WheelTurnOf(1, -240, 120, false, 3);
    EXPECT_TRUE(turn.down);
    EXPECT_FALSE(turn.byPage);
    EXPECT_EQ(turn.steps, 6);
    turn = WheelTurnOf(1, 240, 120, true, 3);
    EXPECT_FALSE(turn.down);
    EXPECT_TRUE(turn.byPage);
    EXPECT_EQ(turn.steps, 2);
    EXPECT_EQ(WheelTurnOf(0, -360, 120, false, 3).steps, 3);  // sideways: one line a notch
    EXPECT_EQ(WheelTurnOf(1, 60, 120, false, 3).steps, 0);    // less than a notch
    EXPECT_EQ(WheelTurnOf(1, 120, 0, false, 3).steps, 0);
}

TEST(ShellItemUtils, SendToMenuCharactersAndHints)
{
    std::vector<SendToEntry> list{
        {"Fax", -1, "", "", {}}, {"mail", -1, "", "", {}}, {"fold", -1, "", "", {}}, {"Zip", -1, "", "", {}}};
    // Two entries begin with f: the next one after the highlighted is selected, not run.
    auto r = SendToMenuChar(list, 0, U'f');
    EXPECT_EQ(r.action, MNC_SELECT);
    EXPECT_EQ(r.position, 2);
    r = SendToMenuChar(list, 2, U'F');
    EXPECT_EQ(r.position, 0);
    r = SendToMenuChar(list, -1, U'z');
    EXPECT_EQ(r.action, MNC_EXECUTE);
    EXPECT_EQ(r.position, 3);
    EXPECT_EQ(SendToMenuChar(list, 0, U'q').action, MNC_CLOSE);
    EXPECT_EQ(SendToMenuChar({}, 0, U'a').action, MNC_CLOSE);

    test::SessionRoot();
    test::TempDir dir;
    dir.write("f", "");
    auto folder = test::FolderOf(dir.path().string());
    IdListPtr item;
    folder->ParseDisplayName(u"f", nullptr, &item, nullptr);
    const ItemIdList* items[] = {item.get()};
    ComPtr<shell::IContextMenu> menu;
    folder->GetUIObjectOf(items, shell::IContextMenu::IID_, menu.putVoid());
    EXPECT_EQ(MenuSelectHint(menu.get(), 54, false), "Moves the selected items to the trash.");
    EXPECT_EQ(MenuSelectHint(menu.get(), 54, true), "");
    EXPECT_EQ(MenuSelectHint(menu.get(), 3, false), "");
    EXPECT_EQ(MenuSelectHint(menu.get(), 60, false), "");
    EXPECT_EQ(MenuSelectHint(nullptr, 54, false), "");

    auto data = com::MakeCom<test::MemoryDataObject>();
    EXPECT_THROW(SendToItem(SendToEntry{"Mail.desktop", -1, "/nowhere/Mail.desktop", {}, {}}, data.get()), EShellError);
}

}  // namespace
