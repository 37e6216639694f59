#include "app/editor/BrowseToolCommands.h"
#include "app/editor/ActiveDesktop.h"
#include "app/editor/BrowseTools.h"
#include "app/editor/EditWithMenu.h"

#include "platform/gui/DesktopWallpaper.h"
#include "tests/app/editor/session/SessionFixture.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/FakeWindowActivator.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

namespace ql {
namespace {

namespace fs = std::filesystem;

class BrowseToolsFixture : public test::SessionFixture {
protected:
    test::ScopedXdgEnv xdg;
    test::FakeLauncher launcher;
    test::FakeWindowActivator front;
    TreeNode* node = nullptr;

    BrowseToolsFixture()
    {
        node = AddPage(nullptr, "Page", "page", "<!-- From: \"https://a.example/x y\" -->\r\n<p>x</p>");
        window.SelectNode(node);
    }
};

using BrowseToolCommandsTest = BrowseToolsFixture;

TEST_F(BrowseToolCommandsTest, OriginalHomepageOpensOnlyBrowserAddresses)
{
    BrowseToolCommands tools(settings, dialogs, launcher, front, "/opt/q/");
    ASSERT_EQ(settings.CurrentPageFile, File("page"));
    tools.ToolButton112Click();
    WritePage("page", "<!-- From: \"ftp://h.example/f\" -->");
    tools.ToolButton112Click();
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{"https://a.example/x y", "ftp://h.example/f"}));
    EXPECT_TRUE(dialogs.messages.empty());

    for (const char* page : {"<p>no header</p>", "<!-- From: \"javascript:alert(1)\" -->", ""}) {
        WritePage("page", page);
        tools.ToolButton112Click();
    }
    fs::remove(File("page"));
    tools.ToolButton112Click();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>(4, kNoOriginalUrl));
    EXPECT_EQ(launcher.opened.size(), 2u);
}

TEST_F(BrowseToolCommandsTest, OutwardCommandsHandTheLauncherOneTarget)
{
    BrowseToolCommands tools(settings, dialogs, launcher, front, "/opt/q/");
    tools.ToolButton55Click();
    tools.HelpDocument1Click();
    tools.SoftwareHomepage1Click();
    tools.Suggestions1Click();
    tools.Backupallcollection1Click();
    EXPECT_EQ(launcher.opened,
              (std::vector<std::string>{File("page"), "/opt/q/help.chm", "https://quillory.example.org/",
                                        "mailto:support@quillory.example.org?subject=About Quillory", Dir()}));
    EXPECT_TRUE(launcher.spawned.empty());
}

TEST(BrowseToolViewsTest, PrintGoesByViewAndPageItemsNeedAnEditableView)
{
    struct Printer : ViewPrinter {
        std::vector<std::string> log;
        void PrintBrowse() override { log.push_back("browse"); }
        void PrintHtml() override { log.push_back("html"); }
        void PrintText(const std::string& title) override { log.push_back("text " + title); }
    } printer;
    BrowseToolCommands::Print1Click(kViewBrowse, printer, "T");
    BrowseToolCommands::Print1Click(kViewHtml, printer, "T");
    BrowseToolCommands::Print1Click(kViewText, printer, "My page");
    EXPECT_EQ(printer.log, (std::vector<std::string>{"browse", "html", "text My page"}));
    EXPECT_FALSE(BrowseToolCommands::PageItemsEnabled(kViewBrowse));
    EXPECT_TRUE(BrowseToolCommands::PageItemsEnabled(kViewHtml));
    EXPECT_TRUE(BrowseToolCommands::PageItemsEnabled(kViewText));
}

TEST(BrowseStatusTextTest, ALinkShowsWhileHoveredAndTheCoveredStatusComesBack)
{
    BrowseStatusText status;
    EXPECT_EQ(status.Change("[FILENAME] a", ""), "[FILENAME] a");
    EXPECT_EQ(status.Change("[FILENAME] a", "http://x/"), "http://x/");
    EXPECT_EQ(status.Change("http://x/", "http://y/"), "http://y/");
    EXPECT_EQ(status.Change("http://y/", ""), "[FILENAME] a");
    // A status written while a link was shown stays when the pointer leaves.
    EXPECT_EQ(status.Change("[FILENAME] a", "http://x/"), "http://x/");
    EXPECT_EQ(status.Change("[FILENAME] b", ""), "[FILENAME] b");
    EXPECT_EQ(status.Change("[FILENAME] b", "http://z/"), "http://z/");
    EXPECT_EQ(status.Change("http://z/", ""), "[FILENAME] b");
}

class EditWithMenuTest : public BrowseToolsFixture {
protected:
    int listed = 0;
    std::vector<DesktopApp> apps = {{"Text Editor", "gedit %U"},
                                    {"FrontPage", "\"/opt/fp/front page\" --edit %f"},
                                    {"Web frontend", "webfront"},
                                    {"Broken", "\"unclosed"}};
    EditWithMenu menu{*session, launcher, [this] {
                          ++listed;
                          return apps;
                      }};
};

TEST_F(EditWithMenuTest, TheListIsReadOncePerRun)
{
    EXPECT_TRUE(menu.Fill());
    apps.clear();
    EXPECT_FALSE(menu.Fill());
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(menu.Captions(), (std::vector<std::string>{"Text Editor", "FrontPage", "Web frontend", "Broken"}));
    EXPECT_EQ(menu.ProgramOf(1), "/opt/fp/front page");
    EXPECT_EQ(menu.ProgramOf(3), "");
}

TEST_F(EditWithMenuTest, AnEntryStartsWithThePageAsOneArgumentAndIsRemembered)
{
    menu.Fill();
    ASSERT_TRUE(menu.EditWithItemClick(1));
    EXPECT_EQ(launcher.spawned,
              (std::vector<std::vector<std::string>>{{"/opt/fp/front page", "--edit", File("page")}}));
    EXPECT_EQ(settings.EditWith, 1);
    EXPECT_FALSE(menu.EditWithItemClick(3));  // its command line is unusable
    EXPECT_EQ(launcher.spawned.size(), 1u);
}

TEST_F(EditWithMenuTest, TheButtonStartsTheRememberedElseTheLastFrontEntry)
{
    settings.EditWith = 100;
    ASSERT_TRUE(menu.ToolButton54Click());
    EXPECT_EQ(launcher.spawned.back(), (std::vector<std::string>{"webfront", File("page")}));
    EXPECT_EQ(settings.EditWith, 2);
    settings.EditWith = 0;
    ASSERT_TRUE(menu.ToolButton54Click());
    EXPECT_EQ(launcher.spawned.back()[0], "gedit");
    settings.EditWith = -3;
    ASSERT_TRUE(menu.ToolButton54Click());
    EXPECT_EQ(settings.EditWith, 2);
}

TEST_F(BrowseToolsFixture, EditWithoutApplicationsDoesNothing)
{
    EditWithMenu menu(*session, launcher, [] { return std::vector<DesktopApp>{}; });
    EXPECT_FALSE(menu.ToolButton54Click());
    EXPECT_TRUE(launcher.spawned.empty());
}

struct FakeSchemas : SchemaSettings {
    std::map<std::string, std::string> values;
    bool HasKey(const std::string& schema, const std::string& key) override { return values.count(schema + " " + key); }
    bool SetString(const std::string& schema, const std::string& key, const std::string& value) override
    {
        if (!HasKey(schema, key))
            return false;
        values[schema + " " + key] = value;
        return true;
    }
};

struct NoXfce : XfceConfig {
    std::optional<std::vector<std::string>> ListProperties(const std::string&) override { return std::nullopt; }
    bool SetString(const std::string&, const std::string&, const std::string&) override { return false; }
    bool SetInt(const std::string&, const std::string&, int) override { return false; }
};

struct FakeRenderer : PageRenderer {
    bool ok = true;
    std::vector<std::string> pages;
    void RenderToPicture(const std::string& page, const std::string& png, std::function<void(bool)> done) override
    {
        pages.push_back(page);
        if (ok)
            std::ofstream(png) << "PNG";
        done(ok);
    }
};

class ActiveDesktopTest : public BrowseToolsFixture {
protected:
    static constexpr char kUri[] = "org.gnome.desktop.background picture-uri";
    FakeSchemas schemas;
    NoXfce xfce;
    FakeRenderer renderer;
    test::TempDir config;
    void SetUp() override { schemas.values = {{kUri, "file:///old.png"}}; }
};

TEST_F(ActiveDesktopTest, ThePageBecomesTheWallpaperUnderAlternatingNamesAndIsCleared)
{
    DesktopWallpaper wallpaper("GNOME", schemas, xfce);
    ActiveDesktop desktop(*session, dialogs, wallpaper, renderer, config.dir());
    desktop.ToolButton51Click();
    EXPECT_EQ(renderer.pages, (std::vector<std::string>{File("page")}));
    EXPECT_EQ(schemas.values[kUri], "file://" + config.dir() + "active-desktop-1.png");
    desktop.ToolButton51Click();
    EXPECT_EQ(schemas.values[kUri], "file://" + config.dir() + "active-desktop-2.png");
    EXPECT_FALSE(fs::exists(config.path() / "active-desktop-1.png"));
    EXPECT_TRUE(dialogs.messages.empty());

    desktop.ClearDesktop1Click();
    EXPECT_EQ(schemas.values[kUri], "");
    EXPECT_FALSE(fs::exists(config.path() / "active-desktop-2.png"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ActiveDesktopTest, FailuresAreToldAndLeaveTheWallpaper)
{
    DesktopWallpaper gnome("GNOME", schemas, xfce);
    ActiveDesktop desktop(*session, dialogs, gnome, renderer, config.dir());
    renderer.ok = false;
    desktop.ToolButton51Click();
    EXPECT_EQ(schemas.values[kUri], "file:///old.png");

    DesktopWallpaper none("KDE", schemas, xfce);
    ActiveDesktop elsewhere(*session, dialogs, none, renderer, config.dir());
    renderer.ok = true;
    elsewhere.ToolButton51Click();
    elsewhere.ClearDesktop1Click();
    EXPECT_EQ(renderer.pages.size(), 1u);  // nothing rendered where it cannot be set
    EXPECT_EQ(dialogs.messages, std::vector<std::string>(3, kSetActiveDesktopFailed));
    EXPECT_EQ(schemas.values[kUri], "file:///old.png");
}

}  // namespace
}  // namespace ql
