#include "platform/gui/DesktopApps.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace ql {
namespace {

using Args = std::vector<std::string>;

TEST(ExecArgvTest, FieldCodesQuotingAndTheFileAsOneArgument)
{
    const std::string file = "/c/my \"page\"; rm -rf ~.html";
    EXPECT_EQ(ExecArgv("edit %f", file), (Args{"edit", file}));
    EXPECT_EQ(ExecArgv("edit --new %U", "/c/a b.html"), (Args{"edit", "--new", "file:///c/a%20b.html"}));
    EXPECT_EQ(ExecArgv("\"/opt/My Editor/run\" -x \"a \\\"q\\\" 100%%\" %F", file),
              (Args{"/opt/My Editor/run", "-x", "a \"q\" 100%", file}));
    // Without a file field code the file goes last; other field codes are dropped.
    EXPECT_EQ(ExecArgv("edit %i %k --title=%c", file, "Ed"), (Args{"edit", "--title=", file}));
    EXPECT_EQ(ExecArgv("edit %c", file, "Ed"), (Args{"edit", "Ed", file}));
    EXPECT_EQ(ExecArgv("edit 50%%", file), (Args{"edit", "50%", file}));
}

TEST(ExecArgvTest, SeveralFilesGoIntoOneCommandOrOneCommandEach)
{
    using Commands = std::vector<Args>;
    const std::vector<std::string> files{"/a b", "/c"};
    EXPECT_EQ(ExecCommands("zip -r %F", files), (Commands{{"zip", "-r", "/a b", "/c"}}));
    EXPECT_EQ(ExecCommands("show %U --", files), (Commands{{"show", "file:///a%20b", "file:///c", "--"}}));
    EXPECT_EQ(ExecCommands("view %f", files), (Commands{{"view", "/a b"}, {"view", "/c"}}));
    EXPECT_EQ(ExecCommands("open --url=%u %c", files, "Op"), (Commands{{"open", "--url=", "Op", "/a b", "/c"}}));
    EXPECT_EQ(ExecCommands("mail", files), (Commands{{"mail", "/a b", "/c"}}));
    EXPECT_EQ(ExecCommands("view %f", {}), Commands{});
    EXPECT_FALSE(ExecCommands("\"open", files));
}

TEST(ExecArgvTest, MalformedOrEmptyCommandsGiveNothing)
{
    EXPECT_FALSE(ExecArgv("", "/a"));
    EXPECT_FALSE(ExecArgv("   ", "/a"));
    EXPECT_FALSE(ExecArgv("\"unclosed %f", "/a"));
}

TEST(AppsForMimeTypeTest, ListsTheDesktopsHtmlApplicationsDefaultFirst)
{
    // GIO reads these folders once per process; no other test of this program uses it.
    test::TempDir data;
    test::TempDir config;
    data.write("applications/alpha-edit.desktop",
               "[Desktop Entry]\nType=Application\nName=Alpha Edit\nExec=cat %f\nMimeType=text/html;\n");
    data.write("applications/beta-front.desktop",
               "[Desktop Entry]\nType=Application\nName=Beta Front\nExec=\"/bin/cat\" --edit %U\n"
               "MimeType=text/html;\n");
    data.write("applications/hidden.desktop",
               "[Desktop Entry]\nType=Application\nName=Hidden\nExec=cat %f\nMimeType=text/html;\nNoDisplay=true\n");
    // GIO lists only programs that exist, and reads the desktop's MIME index.
    data.write("applications/mimeinfo.cache",
               "[MIME Cache]\ntext/html=alpha-edit.desktop;beta-front.desktop;hidden.desktop;\n");
    config.write("mimeapps.list", "[Default Applications]\ntext/html=beta-front.desktop\n");
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    setenv("XDG_DATA_DIRS", data.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    setenv("XDG_CONFIG_DIRS", config.path().c_str(), 1);
    setenv("XDG_CURRENT_DESKTOP", "", 1);

    const std::vector<DesktopApp> apps = AppsForMimeType("text/html");
    ASSERT_EQ(apps.size(), 2u);
    EXPECT_EQ(apps[0].name, "Beta Front");
    EXPECT_EQ(apps[0].exec, "\"/bin/cat\" --edit %U");
    EXPECT_EQ(apps[1].name, "Alpha Edit");
    EXPECT_TRUE(AppsForMimeType("application/x-nothing-handles-this").empty());
}

}  // namespace
}  // namespace ql
