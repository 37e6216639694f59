#include "platform/core/IniFile.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using ql::IniFile;
using ql::test::TempDir;

namespace {

TEST(IniFile, ReadsCaseInsensitivelyTrimmedWithDefaults)
{
    TempDir t;
    t.write("a.ini", "; comment\n[Set]\n  AutoCleanUp =  0 \r\nTemplate= alpha beta \rEditWith=0x1F\n[other]\nx=1\n");
    IniFile ini(t.dir() + "a.ini");
    EXPECT_EQ(ini.ReadString("set", "template", "d"), "alpha beta");
    EXPECT_EQ(ini.ReadString("SET", "TEMPLATE", "d"), "alpha beta");
    EXPECT_FALSE(ini.ReadBool("set", "autocleanup", true));
    EXPECT_EQ(ini.ReadInteger("set", "EditWith", 100), 31);
    EXPECT_EQ(ini.ReadString("set", "missing", "def"), "def");
    EXPECT_EQ(ini.ReadString("nosection", "x", "def"), "def");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Set", "other"}));
    EXPECT_EQ(ini.ReadSection("SET"), (std::vector<std::string>{"AutoCleanUp", "Template", "EditWith"}));
}

TEST(IniFile, IntegersAndBooleansFallBackOnUnreadableValues)
{
    TempDir t;
    t.write("a.ini", "[s]\nneg=-12\nplus=+7\nhex=0xffffffff\nbig=99999999999\nword=yes\nhalf=12abc\nempty=\n"
                     "two=2\nzero=0\nlonghex=0x123456789\nbare0x=0x\n");
    IniFile ini(t.dir() + "a.ini");
    EXPECT_EQ(ini.ReadInteger("s", "neg", 5), -12);
    EXPECT_EQ(ini.ReadInteger("s", "plus", 5), 7);
    EXPECT_EQ(ini.ReadInteger("s", "hex", 5), -1);
    EXPECT_EQ(ini.ReadInteger("s", "big", 5), 5);
    EXPECT_EQ(ini.ReadInteger("s", "word", 5), 5);
    EXPECT_EQ(ini.ReadInteger("s", "half", 5), 5);
    EXPECT_EQ(ini.ReadInteger("s", "empty", 5), 5);
    EXPECT_EQ(ini.ReadInteger("s", "longhex", 5), 5);
    EXPECT_EQ(ini.ReadInteger("s", "bare0x", 5), 5);
    EXPECT_TRUE(ini.ReadBool("s", "two", false));
    EXPECT_FALSE(ini.ReadBool("s", "zero", true));
    EXPECT_TRUE(ini.ReadBool("s", "word", true));  // unreadable: the default
    EXPECT_FALSE(ini.ReadBool("s", "word", false));
}

TEST(IniFile, SaveKeepsUnknownContentAndWritesCrLf)
{
    TempDir t;
    t.write("a.ini", "; keep me\n[other]\nfoo = bar\n\n[set]\nA=1\nUnknown=x\n\n; tail\n");
    {
        IniFile ini(t.dir() + "a.ini", false);
        ASSERT_TRUE(ini.WriteInteger("SET", "a", 2));
        ASSERT_TRUE(ini.WriteString("set", "New", "v"));
        ASSERT_TRUE(ini.WriteBool("fresh", "b", true));
        ASSERT_TRUE(ini.UpdateFile());
    }
    EXPECT_EQ(t.read("a.ini"),
              "; keep me\r\n[other]\r\nfoo = bar\r\n\r\n[set]\r\nA=2\r\nUnknown=x\r\nNew=v\r\n\r\n; tail\r\n"
              "[fresh]\r\nb=1\r\n");
}

TEST(IniFile, WriteThroughSavesEachChangeAndDeferredDoesNot)
{
    TempDir t;
    IniFile deferred(t.dir() + "d.ini", false);
    ASSERT_TRUE(deferred.WriteString("s", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(t.path() / "d.ini"));

    IniFile open(t.dir() + "w.ini");
    ASSERT_TRUE(open.WriteString("p1", "img.png", "1"));
    EXPECT_EQ(t.read("w.ini"), "[p1]\r\nimg.png=1\r\n");
    ASSERT_TRUE(open.WriteString("p2", "x.gif", "1"));
    ASSERT_TRUE(open.EraseSection("P1"));
    EXPECT_EQ(t.read("w.ini"), "[p2]\r\nx.gif=1\r\n");
    ASSERT_TRUE(open.DeleteKey("p2", "X.GIF"));
    EXPECT_EQ(t.read("w.ini"), "[p2]\r\n");
    EXPECT_TRUE(open.SectionExists("p2"));
    EXPECT_FALSE(open.ValueExists("p2", "x.gif"));
}

TEST(IniFile, OpenObjectSeesChangesMadeByOthers)
{
    TempDir t;
    IniFile a(t.dir() + "s.ini");
    IniFile b(t.dir() + "s.ini");
    ASSERT_TRUE(a.WriteString("s", "one", "1"));
    EXPECT_EQ(b.ReadString("s", "one", ""), "1");
    ASSERT_TRUE(b.WriteString("s", "two", "2"));
    ASSERT_TRUE(a.WriteString("s", "three", "3"));
    EXPECT_EQ(t.read("s.ini"), "[s]\r\none=1\r\ntwo=2\r\nthree=3\r\n");
}

TEST(IniFile, RefusesWhatTheFileCouldNotGiveBack)
{
    TempDir t;
    IniFile ini(t.dir() + "r.ini");
    EXPECT_FALSE(ini.WriteString("s", "a=b.png", "1"));
    EXPECT_FALSE(ini.WriteString("s", "k", "line1\nline2"));
    EXPECT_FALSE(ini.WriteString("s]x", "k", "v"));
    EXPECT_FALSE(ini.WriteString("s", "[k", "v"));
    EXPECT_FALSE(ini.WriteString("s", "", "v"));
    EXPECT_FALSE(std::filesystem::exists(t.path() / "r.ini"));
}

TEST(IniFile, FailedSaveReportsAndKeepsOldFile)
{
    TempDir t;
    // Missing folder: never created, the write reports failure.
    IniFile nofolder(t.dir() + "absent/x.ini");
    EXPECT_FALSE(nofolder.WriteString("s", "k", "v"));
    EXPECT_FALSE(std::filesystem::exists(t.path() / "absent"));
    EXPECT_EQ(nofolder.ReadString("s", "k", ""), "v");  // the change stays in memory

    // A path that exists but is not a readable file is never replaced.
    std::filesystem::create_directory(t.path() / "dir.ini");
    IniFile dir(t.dir() + "dir.ini", false);
    EXPECT_FALSE(dir.WriteString("s", "k", "v") && dir.UpdateFile());
    EXPECT_TRUE(std::filesystem::is_directory(t.path() / "dir.ini"));
}

// A drop records its pictures in one save, before the page that shows them is written; until
// then the file on disk is the old one, and nothing held back is lost to a reread.
TEST(IniFile, ABatchSavesItsChangesOnceAndKeepsThemUntilThen)
{
    TempDir t;
    t.write("images.ini", "[old page]\r\na.png=1\r\n");
    IniFile ini(t.dir() + "images.ini");
    {
        IniFile::Batch batch(&ini);
        for (const char* name : {"p1.png", "p2.png", "p3.png"})
            ASSERT_TRUE(ini.WriteString("new page", name, "1"));
        ASSERT_TRUE(ini.EraseSection("old page"));
        EXPECT_EQ(t.read("images.ini"), "[old page]\r\na.png=1\r\n");
        // Another program's change meanwhile is not read over the changes held back.
        t.write("images.ini", "[other]\r\nb.png=1\r\n");
        EXPECT_EQ(ini.ReadString("new page", "p3.png", ""), "1");
        ASSERT_TRUE(batch.Commit());
        EXPECT_EQ(t.read("images.ini"), "[new page]\r\np1.png=1\r\np2.png=1\r\np3.png=1\r\n");
        ASSERT_TRUE(ini.WriteString("new page", "p4.png", "1"));  // saved when the batch ends
    }
    EXPECT_EQ(t.read("images.ini"), "[new page]\r\np1.png=1\r\np2.png=1\r\np3.png=1\r\np4.png=1\r\n");
    IniFile::Batch none(nullptr);
    EXPECT_TRUE(none.Commit());

    // A batch whose save fails keeps the changes for the next save.
    IniFile nofolder(t.dir() + "absent/x.ini");
    {
        IniFile::Batch batch(&nofolder);
        ASSERT_TRUE(nofolder.WriteString("s", "k", "v"));
        EXPECT_FALSE(batch.Commit());
    }
    EXPECT_EQ(nofolder.ReadString("s", "k", ""), "v");
}

// Sections are found by name through an index that follows every change of the section list.
TEST(IniFile, SectionsAreFoundByNameAfterErasingAndAdding)
{
    TempDir t;
    t.write("s.ini", "[a]\r\nk=1\r\n[b]\r\nk=2\r\n[A]\r\nk=3\r\n[c]\r\nk=4\r\n");
    IniFile ini(t.dir() + "s.ini");
    ASSERT_TRUE(ini.EraseSection("A"));  // both of that name
    EXPECT_FALSE(ini.SectionExists("a"));
    EXPECT_EQ(ini.ReadString("B", "k", ""), "2");
    EXPECT_EQ(ini.ReadString("c", "K", ""), "4");
    ASSERT_TRUE(ini.WriteString("A", "k", "5"));
    ASSERT_TRUE(ini.WriteString("c", "j", "6"));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"b", "c", "A"}));
    EXPECT_EQ(t.read("s.ini"), "[b]\r\nk=2\r\n[c]\r\nk=4\r\nj=6\r\n[A]\r\nk=5\r\n");
    // Reread after another program changed the file.
    t.write("s.ini", "[z]\r\nk=7\r\n");
    EXPECT_FALSE(ini.SectionExists("c"));
    EXPECT_EQ(ini.ReadString("Z", "k", ""), "7");
}

TEST(IniFile, ByteOrderMarkAndDuplicatesFirstWins)
{
    TempDir t;
    t.write("b.ini", "\xEF\xBB\xBF[s]\nk=first\nk=second\n[S]\nk=third\n");
    IniFile ini(t.dir() + "b.ini");
    EXPECT_EQ(ini.ReadString("s", "k", ""), "first");
    ASSERT_TRUE(ini.WriteString("s", "k", "new"));
    EXPECT_EQ(ini.ReadString("s", "k", ""), "new");
    ASSERT_TRUE(ini.DeleteKey("s", "k"));
    EXPECT_FALSE(ini.ValueExists("s", "k"));
}

}  // namespace

namespace {

TEST(IniFile, SavesGiveBackWhatWasReadExceptTheChangedValues)
{
    TempDir t;
    // The second mark keeps "[hidden]" from being a header; so must every save.
    const std::string twoMarks = "\xEF\xBB\xBF\xEF\xBB\xBF[hidden]\r\nsecret=1\r\n[s]\r\nk=old\r\n";
    t.write("two.ini", twoMarks);
    {
        IniFile ini(t.dir() + "two.ini");
        EXPECT_FALSE(ini.SectionExists("hidden"));
        ASSERT_TRUE(ini.WriteString("s", "k", "new"));
        ASSERT_TRUE(ini.WriteString("s", "k", "newer"));
    }
    EXPECT_EQ(t.read("two.ini"), "\xEF\xBB\xBF\xEF\xBB\xBF[hidden]\r\nsecret=1\r\n[s]\r\nk=newer\r\n");
    IniFile reread(t.dir() + "two.ini");
    EXPECT_FALSE(reread.SectionExists("hidden"));
    EXPECT_EQ(reread.ReadString("hidden", "secret", "none"), "none");

    // One mark stays one mark; a file without stays without.
    t.write("one.ini", "\xEF\xBB\xBF[s]\r\nk=1\r\n");
    t.write("none.ini", "[s]\r\nk=1\r\n");
    for (const char* name : {"one.ini", "none.ini"}) {
        const std::string before = t.read(name);
        IniFile ini(t.dir() + name, false);
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(t.read(name), before) << name;
    }
}

}  // namespace
