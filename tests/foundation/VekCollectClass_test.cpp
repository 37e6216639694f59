#include "foundation/VekCollectClass.h"

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace ql;

namespace {

const char* const kAllKeysInOrder =
    "[set]\r\nAutoUnicode=%s\r\nAutoCleanUp=1\r\nLastNode=0\r\nDragZoneTop=0\r\nDragZoneLeft=0\r\n"
    "ActiveTabIndex=0\r\nEditWith=100\r\nShowMainForm=1\r\nShowImageList=1\r\nAutoChangeTxtToHtml=1\r\n"
    "DragUseHtml=1\r\nDragCreateNew=1\r\nDragUseUnicode=1\r\nDragHideAfterSave=0\r\nDragIncludeImage=1\r\n"
    "MonitorFileChange=1\r\nShowToolbar=1\r\nShowTree=1\r\ntemplate=alpha\r\nDefaultCharset=Unicode\r\n"
    "UseDiv=0\r\nimagechecked=0\r\nshowDragForm=1\r\n";

// Each test starts the unit from a program "installed" in a temp folder.
class VekCollectClassTest : public ::testing::Test {
protected:
    test::ScopedXdgEnv env;
    test::TempDir app;
    std::string program() const { return app.dir() + "quillory"; }
    void TearDown() override
    {
        ImagesIni.reset();
        Settings = TSettings{};
        AppDirPath.clear();
    }
};

TEST_F(VekCollectClassTest, FirstStartWithoutIniUsesDefaultsAndExitWritesAll23KeysInOrder)
{
    LoadSettings(program());
    EXPECT_EQ(AppDirPath, app.dir());
    EXPECT_EQ(Settings.CollectionDir, app.dir() + "Collection/");
    EXPECT_EQ(Settings.ImagesDir, app.dir() + "Collection/!images/");
    ASSERT_TRUE(ImagesIni);
    EXPECT_EQ(ImagesIni->FileName(), app.dir() + "Collection/images.ini");
    EXPECT_FALSE(fs::exists(app.path() / "Collection"));  // nothing created at start
    EXPECT_EQ(Settings.AutoUnicode, ChineseSystem);
    EXPECT_EQ(Settings.EditWith, 100);
    EXPECT_EQ(Settings.templateFile, "alpha");
    EXPECT_EQ(Settings.DefaultCharset, "Unicode");
    EXPECT_FALSE(Settings.DragHideAfterSave);
    EXPECT_FALSE(Settings.UseDiv);
    EXPECT_FALSE(Settings.imagechecked);
    for (bool b : {Settings.AutoCleanUp, Settings.ShowMainForm, Settings.ShowImageList, Settings.AutoChangeTxtToHtml,
                   Settings.DragUseHtml, Settings.DragCreateNew, Settings.DragUseUnicode, Settings.DragIncludeImage,
                   Settings.MonitorFileChange, Settings.ShowToolbar, Settings.ShowTree, Settings.showDragForm})
        EXPECT_TRUE(b);
    for (int i : {Settings.LastNode, Settings.DragZoneTop, Settings.DragZoneLeft, Settings.ActiveTabIndex})
        EXPECT_EQ(i, 0);
    EXPECT_TRUE(Settings.CurrentNodeId.empty());
    EXPECT_EQ(Settings.CurrentPageTime, 0);

    bool chinese = Settings.AutoUnicode;
    ASSERT_TRUE(SaveSettings());
    EXPECT_FALSE(ImagesIni);
    char expected[1024];
    std::snprintf(expected, sizeof expected, kAllKeysInOrder, chinese ? "1" : "0");
    EXPECT_EQ(app.read("gleanhoard.ini"), expected);
    EXPECT_FALSE(SaveSettings());  // nothing loaded any more: the file stays as written
    EXPECT_EQ(app.read("gleanhoard.ini"), expected);
}

TEST_F(VekCollectClassTest, ExitClearsTheClipSourceUrl)
{
    LoadSettings(program());
    ClipSourceUrl = "http://h/";
    ASSERT_TRUE(SaveSettings());
    EXPECT_TRUE(ClipSourceUrl.empty());
}

TEST_F(VekCollectClassTest, StoredValuesAreReadAndDragCreateNewAlwaysStartsTrue)
{
    app.write("gleanhoard.ini",
              "[other]\nkeep=me\n[SET]\nDragCreateNew=0\nEditWith=0x10\nLastNode=-3\nShowTree=0\ntemplate=my tpl.html\n"
              "DragZoneTop=garbage\nAutoCleanUp=0\nUnknown=stays\n");
    LoadSettings(program());
    EXPECT_TRUE(Settings.DragCreateNew);
    EXPECT_EQ(Settings.EditWith, 16);
    EXPECT_EQ(Settings.LastNode, -3);
    EXPECT_FALSE(Settings.ShowTree);
    EXPECT_FALSE(Settings.AutoCleanUp);
    EXPECT_EQ(Settings.templateFile, "my tpl.html");
    EXPECT_EQ(Settings.DragZoneTop, 0);

    Settings.DragCreateNew = false;
    Settings.DragZoneLeft = 640;
    ASSERT_TRUE(SaveSettings());
    std::string saved = app.read("gleanhoard.ini");
    EXPECT_NE(saved.find("[other]\r\nkeep=me\r\n"), std::string::npos);
    EXPECT_NE(saved.find("DragCreateNew=0\r\n"), std::string::npos);  // written, never read
    EXPECT_NE(saved.find("Unknown=stays\r\n"), std::string::npos);
    EXPECT_NE(saved.find("DragZoneLeft=640\r\n"), std::string::npos);

    LoadSettings(program());
    EXPECT_TRUE(Settings.DragCreateNew);
    EXPECT_EQ(Settings.DragZoneLeft, 640);
}

TEST_F(VekCollectClassTest, RegistryValueExeNamesTheCopyThatStartedLast)
{
    LoadSettings(program());
    EXPECT_EQ(ReadRegString(RegRoot::CurrentUser, "\\Software\\Tessaly\\Pouchly", "exe"), program());
    EXPECT_TRUE(SaveSettings());
    test::TempDir other;
    LoadSettings(other.dir() + "quillory");
    EXPECT_EQ(ReadRegString(RegRoot::CurrentUser, "\\Software\\Tessaly\\Pouchly", "exe"), other.dir() + "quillory");
    EXPECT_EQ(AppDirPath, other.dir());
}

TEST_F(VekCollectClassTest, UnwritableSettingsFileIsReportedAndNotReplaced)
{
    fs::create_directory(app.path() / "gleanhoard.ini");  // in the way: cannot be read or replaced
    LoadSettings(program());
    EXPECT_EQ(Settings.EditWith, 100);
    EXPECT_FALSE(SaveSettings());
    EXPECT_TRUE(fs::is_directory(app.path() / "gleanhoard.ini"));
}

TEST(VekCollectClassColours, ConvertBetweenHtmlTextAndRedLowColour)
{
    EXPECT_EQ(HtmlColorToColor("#FFFFFF"), 0xFFFFFFu);
    EXPECT_EQ(HtmlColorToColor("#ffffff"), 0xFFFFFFu);
    EXPECT_EQ(HtmlColorToColor("#0000ff"), 0xFF0000u);
    EXPECT_EQ(HtmlColorToColor("#ff8000"), 0x0080FFu);
    EXPECT_EQ(HtmlColorToColor("#123456"), 0x563412u);
    for (const char* bad :
         {"red", "", "#fff", "#ff80", "#ff800", "#ff8000 ", "#ff80001", "#gg8000", "x123456", "#12 456", "blueish"})
        EXPECT_EQ(HtmlColorToColor(bad), 0u) << bad;
    EXPECT_EQ(ColorToHtmlColor(0x0080FF), "#ff8000");
    EXPECT_EQ(ColorToHtmlColor(0xFF0000), "#0000ff");
    EXPECT_EQ(ColorToHtmlColor(0xAB0A0B0C), "#0c0b0a");  // the top byte is not part of the colour
    EXPECT_EQ(HtmlColorToColor(ColorToHtmlColor(0x00C0FFEE)), 0x00C0FFEEu);
}

}  // namespace
