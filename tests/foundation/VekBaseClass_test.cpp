#include "foundation/VekBaseClass.h"

#include "platform/core/CopyDataTransport.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace ql;
using ql::test::TempDir;

namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* v = getenv(name)) {
            had_ = true;
            old_ = v;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (had_)
            setenv(name_.c_str(), old_.c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_, old_;
    bool had_ = false;
};

TEST(VekBaseClass, ListFilesKeepsMasksSortsAndCutsTheLastExtension)
{
    TempDir t;
    t.write("page.html", "");
    t.write("archive.tar.gz", "");
    t.write("README", "");
    t.write("b.HTML", "");
    t.write("sub/inner.html", "");
    fs::create_symlink(t.path() / "sub", t.path() / "linkdir.html");
    StringList list{"stale"};
    ListFiles(t.dir(), "*.*", list, false);
    EXPECT_EQ(list, (StringList{"README", "archive.tar", "b", "page"}));
    ListFiles(t.path().string(), "*.html", list, true);  // folder without '/', case-sensitive mask
    EXPECT_EQ(list, (StringList{"page.html"}));
    ListFiles(t.dir(), "?EADM*", list, true);
    EXPECT_EQ(list, (StringList{"README"}));
    ListFiles(t.dir() + "missing/", "*.*", list, true);
    EXPECT_TRUE(list.empty());
}

TEST(VekBaseClass, ListFoldersInPreOrderWithMaskRootAndNameOptions)
{
    TempDir t;
    fs::create_directories(t.path() / "c/a/b");
    fs::create_directories(t.path() / "c/z");
    t.write("c/z/page.html", "");
    fs::create_directory_symlink(t.path() / "c/a", t.path() / "c/link");  // never followed
    std::string c = t.dir() + "c/";
    StringList list;
    ListFolders(c, "*.*", list, false, false, false);
    EXPECT_EQ(list, (StringList{c + "a/", c + "a/b/", c + "z/"}));
    ListFolders(t.dir() + "c", "*.*", list, true, false, false);
    EXPECT_EQ(list, (StringList{c, c + "a/", c + "a/b/", c + "z/"}));
    ListFolders(c, "*.html", list, true, false, false);
    EXPECT_EQ(list, (StringList{c + "z/"}));
    ListFolders(c, "*.html", list, true, true, true);  // the root is not listed: nothing matches in it
    EXPECT_EQ(list, (StringList{"a", "z"}));
    ListFolders(c, "*", list, true, true, false);
    EXPECT_EQ(list, (StringList{c, c + "a/", c + "z/"}));
}

TEST(VekBaseClass, DeleteFolderTreeKeepsReadOnlyFilesAndNeverFollowsLinks)
{
    TempDir t;
    t.write("outside/keep.txt", "x");
    t.write("tree/a/b/gone.txt", "x");
    t.write("tree/ro/sub/locked.txt", "x");
    t.write("tree/ro/other.txt", "x");
    t.write("tree/top.txt", "x");
    fs::permissions(t.path() / "tree/ro/sub/locked.txt", fs::perms::owner_read, fs::perm_options::replace);
    fs::create_directory_symlink(t.path() / "outside", t.path() / "tree/a/escape");
    fs::create_symlink(t.path() / "outside/keep.txt", t.path() / "tree/filelink");

    DeleteFolderTree(t.dir() + "tree/");
    EXPECT_TRUE(fs::exists(t.path() / "outside/keep.txt"));
    EXPECT_TRUE(fs::exists(t.path() / "tree/ro/sub/locked.txt"));
    EXPECT_FALSE(fs::exists(t.path() / "tree/ro/other.txt"));
    EXPECT_FALSE(fs::exists(t.path() / "tree/a"));
    EXPECT_FALSE(fs::exists(t.path() / "tree/top.txt"));
    EXPECT_FALSE(fs::is_symlink(t.path() / "tree/filelink"));

    fs::permissions(t.path() / "tree/ro/sub/locked.txt", fs::perms::owner_write, fs::perm_options::add);
    DeleteFolderTree(t.path().string() + "/tree");
    EXPECT_FALSE(fs::exists(t.path() / "tree"));

    // The folder itself given as a link: not entered, its target untouched.
    fs::create_directory_symlink(t.path() / "outside", t.path() / "alias");
    DeleteFolderTree(t.dir() + "alias");
    EXPECT_TRUE(fs::exists(t.path() / "outside/keep.txt"));
    DeleteFolderTree(t.dir() + "outside/..");  // never a parent by a back door
    EXPECT_TRUE(fs::exists(t.path() / "outside/keep.txt"));
}

TEST(VekBaseClass, FileSizeAndDate)
{
    TempDir t;
    EXPECT_EQ(GetFileSize(t.dir() + "missing"), -1);
    t.write("empty", "");
    EXPECT_EQ(GetFileSize(t.dir() + "empty"), 0);
    t.write("five", "12345");
    EXPECT_EQ(GetFileSize(t.dir() + "five"), 5);

    // 2001-02-03 04:05:06 local time is day 36925 plus 14706 seconds.
    std::tm tm{};
    tm.tm_year = 101;
    tm.tm_mon = 1;
    tm.tm_mday = 3;
    tm.tm_hour = 4;
    tm.tm_min = 5;
    tm.tm_sec = 6;
    tm.tm_isdst = -1;
    timespec times[2] = {{mktime(&tm), 0}, {mktime(&tm), 500000000}};
    ASSERT_EQ(utimensat(AT_FDCWD, (t.dir() + "five").c_str(), times, 0), 0);
    EXPECT_NEAR(GetFileDateTime(t.dir() + "five"), 36925 + (14706.5 / 86400.0), 1e-9);
    EXPECT_EQ(GetFileDateTime(t.dir() + "missing"), 0);
}

TEST(VekBaseClass, TextHelpers)
{
    EXPECT_EQ(PosNoCase("BODY", "<html><Body>"), 8);
    EXPECT_EQ(PosNoCase("x", "abc"), 0);
    EXPECT_EQ(PosNoCase("", "abc"), 0);
    EXPECT_EQ(PosNoCase("abcd", "abc"), 0);
    EXPECT_EQ(RemoveChars("a/b\\c", "/\\"), "abc");
    EXPECT_EQ(RemoveChars("", "x"), "");
    EXPECT_EQ(FileNameNoExt("/p/x.htm"), "x");
    EXPECT_EQ(FileNameNoExt("/p/a.b.b"), "a");
    EXPECT_EQ(FileNameNoExt("/p.d/noext"), "noext");
    EXPECT_EQ(FileNameNoExt("archive.tar.gz"), "archive.tar");
}

TEST(VekBaseClass, SaveAndLoadTextNormaliseLineBreaksToCrLf)
{
    TempDir t;
    std::string f = t.dir() + "t.txt";
    ASSERT_TRUE(SaveTextToFile("one\ntwo\r\nthree\rfour", f));
    EXPECT_EQ(t.read("t.txt"), "one\r\ntwo\r\nthree\r\nfour\r\n");
    ASSERT_TRUE(SaveTextToFile("a\n\n", f));
    EXPECT_EQ(t.read("t.txt"), "a\r\n\r\n");
    ASSERT_TRUE(SaveTextToFile("", f));
    EXPECT_EQ(t.read("t.txt"), "");
    EXPECT_FALSE(SaveTextToFile("x", t.dir() + "no/such/folder.txt"));

    t.write("l.txt", "l0\nl1\r\nl2");
    std::string text = "old";
    LoadTextFromFile(t.dir() + "l.txt", -1, text);
    EXPECT_EQ(text, "l0\r\nl1\r\nl2\r\n");
    LoadTextFromFile(t.dir() + "l.txt", 1, text);
    EXPECT_EQ(text, "l1");
    LoadTextFromFile(t.dir() + "l.txt", 3, text);
    EXPECT_EQ(text, "");
    text = "old";
    LoadTextFromFile(t.dir() + "missing.txt", -1, text);
    EXPECT_EQ(text, "");
}

TEST(VekBaseClass, ChineseSystemIsThePrcLocale)
{
    ScopedEnv all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr);
    {
        ScopedEnv lang("LANG", "zh_CN.UTF-8");
        EXPECT_EQ(SystemLanguageName(), "zh_CN.UTF-8");
        EXPECT_TRUE(IsChineseSystem());
    }
    {
        ScopedEnv lang("LANG", "zh_TW.UTF-8");
        EXPECT_FALSE(IsChineseSystem());
    }
    {
        ScopedEnv lang("LANG", "en_US.UTF-8");
        ScopedEnv msg("LC_MESSAGES", "zh_CN.GB2312");
        EXPECT_TRUE(IsChineseSystem());
        ScopedEnv over("LC_ALL", "C");
        EXPECT_FALSE(IsChineseSystem());
    }
    {
        ScopedEnv lang("LANG", nullptr);
        EXPECT_EQ(SystemLanguageName(), "C");
        EXPECT_FALSE(IsChineseSystem());
    }
}

TEST(VekBaseClass, RegistryStringsWithDefaultValuesAndWrongTypes)
{
    test::ScopedXdgEnv env;
    EXPECT_EQ(ReadRegString(RegRoot::CurrentUser, "\\Software\\Tessaly\\Pouchly", "exe"), "");
    ASSERT_TRUE(WriteRegString(RegRoot::CurrentUser, "\\Software\\Tessaly\\Pouchly", "exe", "/opt/q/quillory"));
    EXPECT_EQ(ReadRegString(RegRoot::CurrentUser, "Software\\Tessaly\\Pouchly", "EXE"), "/opt/q/quillory");
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\application", "", "app"));
    EXPECT_EQ(ReadRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\application", ""), "app");
    ASSERT_TRUE(Registry().WriteDWord(RegRoot::CurrentUser, "K", "n", 5));
    EXPECT_EQ(ReadRegString(RegRoot::CurrentUser, "K", "n"), "");  // wrong type: nothing, no throw
}

// The clip hand-over between two processes: the child sends, this process receives.
TEST(VekBaseClass, SendCopyDataCarriesTextAndNulToAnotherProcess)
{
    test::ScopedXdgEnv env;
    EXPECT_FALSE(SendCopyData("TPlinderDragZoneForm", "a.html\r\nu\r\nt", 0, 0));  // nobody listens

    std::mutex m;
    std::vector<CopyDataMessage> got;
    CopyDataServer server("TPlinderDragZoneForm", [&](const CopyDataMessage& msg) {
        std::lock_guard<std::mutex> lock(m);
        got.push_back(msg);
        return 0;
    });
    ASSERT_TRUE(server.Listening()) << server.Error();

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool ok = SendCopyData("TPlinderDragZoneForm", "a.html\r\nu\r\nt", 0, 0) &&
                  SendCopyData("TPlinderDragZoneForm", "", 7, 9) && !SendCopyData("TNoSuchForm", "x", 0, 0);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::lock_guard<std::mutex> lock(m);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].data.size(), 13u);  // cbData
    EXPECT_EQ(got[0].data, std::string("a.html\r\nu\r\nt\0", 13));
    EXPECT_EQ(got[0].dwData, 0u);
    EXPECT_EQ(got[0].wParam, 0u);
    EXPECT_EQ(got[1].data, std::string(1, '\0'));
    EXPECT_EQ(got[1].dwData, 7u);
    EXPECT_EQ(got[1].wParam, 9u);
}

}  // namespace
