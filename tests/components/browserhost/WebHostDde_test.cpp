#include "components/browserhost/WebHostDde.h"
#include "foundation/VekBaseClass.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <thread>

#include <unistd.h>

namespace ql {
namespace {

struct DdeParsers : ::testing::Test {
    void SetUp() override
    {
        saved = DdeVerbs;
        DdeVerbs.OpenVerb = "ViewFolder";
        DdeVerbs.ExploreVerb = "ExploreFolder";
        DdeVerbs.FindVerb = "FindFolder";
    }
    void TearDown() override { DdeVerbs = saved; }
    TDdeVerbs saved;
    std::int32_t pid = static_cast<std::int32_t>(getpid());
};

std::vector<std::uint8_t> OneItemList() { return {5, 0, 'a', 'b', 'c', 0, 0}; }

TEST_F(DdeParsers, VerbsAndPaths)
{
    EXPECT_EQ(DdeVerbOfCommand("[ViewFolder(\"%l\", %I, %S)]"), "ViewFolder");
    EXPECT_EQ(DdeVerbOfCommand("no bracket(x)"), "");
    EXPECT_EQ(DdeVerbOfCommand("[NoParen]"), "");
    EXPECT_EQ(ParseVerb("[ViewFolder(\"/tmp\",:1:2,1)]"), 1);
    EXPECT_EQ(ParseVerb("[ExploreFolder(\"/tmp\",:1:2,1)]"), 2);
    EXPECT_EQ(ParseVerb("[FindFolder(\"/tmp\",:1:2,1)]"), 3);
    EXPECT_EQ(ParseVerb("[viewfolder(\"/tmp\")]"), 0);  // exact case
    EXPECT_EQ(ParseVerb("[Print(\"/tmp\")]"), 0);
    DdeVerbs.OpenVerb.clear();
    EXPECT_EQ(ParseVerb("[(\"/tmp\")]"), 0);  // an empty verb matches nothing
    EXPECT_EQ(ParsePath("[ViewFolder(\"/a, b/c\", :0, 1)]"), "/a, b/c");
    EXPECT_EQ(ParsePath("[ViewFolder(\"/open"), "");
    EXPECT_EQ(ParsePath("[ViewFolder(:0,1)]"), "");
}

TEST_F(DdeParsers, ShowCommandIsOneCharacterAfterTheSecondSeparator)
{
    EXPECT_EQ(ParseShowCommand("[ViewFolder(\"/tmp\", :1:2, 3)]"), 3);
    EXPECT_EQ(ParseShowCommand("[ViewFolder(\"/tmp\", :1:2, 10)]"), 1);
    EXPECT_EQ(ParseShowCommand("[ViewFolder(\"/tmp\", :1:2, 11)]"), 1);
    EXPECT_EQ(ParseShowCommand("[ViewFolder(\"/tmp\", :1:2)]"), 1);    // fewer than two separators
    EXPECT_EQ(ParseShowCommand("[ViewFolder(\"/tmp\", :1:2, )]"), 1);  // no digit
    EXPECT_EQ(ParseShowCommand("[ViewFolder(\"/tmp\", :1:2, -1)]"), std::nullopt);
    // Commas inside the quoted path are not separators.
    EXPECT_EQ(ParseShowCommand("[ViewFolder(\"/a,7,b\", :1:2, 5)]"), 5);
}

TEST_F(DdeParsers, ItemIdListComesFromASharedBlockAndIsFreed)
{
    std::int32_t h = ShareDdeBlock(OneItemList(), pid);
    std::string cmd = "[ViewFolder(\"\", :" + std::to_string(h) + ":" + std::to_string(pid) + ", 1)]";
    ParsedItemIdList r = ParseItemIdList(cmd);
    EXPECT_TRUE(r.wellFormed);
    ASSERT_TRUE(r.list);
    EXPECT_EQ(r.list->ItemData(0), "abc");
    EXPECT_FALSE(LockDdeBlock(h, pid));  // freed
    // A second parse of the same command finds nothing.
    EXPECT_FALSE(ParseItemIdList(cmd).list);

    // A quoted path with commas and digits does not shift the list argument.
    h = ShareDdeBlock(OneItemList(), pid);
    r = ParseItemIdList("[ViewFolder(\"/a,12,b\", :" + std::to_string(h) + ":" + std::to_string(pid) + ", 1)]");
    ASSERT_TRUE(r.list);

    // A block shared for another process is not ours to take.
    h = ShareDdeBlock(OneItemList(), pid + 1);
    r = ParseItemIdList("[ViewFolder(\"\", :" + std::to_string(h) + ":" + std::to_string(pid) + ", 1)]");
    EXPECT_FALSE(r.list);
    EXPECT_TRUE(LockDdeBlock(h, pid + 1));
    FreeDdeBlock(h, pid + 1);
}

TEST_F(DdeParsers, NumbersAreNeverAddressesAndMalformedOnesAreRefused)
{
    // A bare number would be an address in this process: never followed.
    ParsedItemIdList r = ParseItemIdList("[ViewFolder(\"\", :140737488355328, 1)]");
    EXPECT_FALSE(r.wellFormed);  // beyond 32 bits
    r = ParseItemIdList("[ViewFolder(\"\", :123456, 1)]");
    EXPECT_TRUE(r.wellFormed);
    EXPECT_FALSE(r.list);
    EXPECT_FALSE(ParseItemIdList("[ViewFolder(\"\", :1-2:5, 1)]").wellFormed);
    EXPECT_FALSE(ParseItemIdList("[ViewFolder(\"\", :12:+, 1)]").wellFormed);
    EXPECT_FALSE(ParseItemIdList("[ViewFolder(\"\", x)]").wellFormed);
    EXPECT_TRUE(ParseItemIdList("[ViewFolder(\"/only a path\")]").wellFormed);

    // A shared block holding a malformed list.
    std::int32_t h = ShareDdeBlock({9, 0, 1, 2}, pid);
    r = ParseItemIdList("[ViewFolder(\"\", :" + std::to_string(h) + ":" + std::to_string(pid) + ", 1)]");
    EXPECT_FALSE(r.wellFormed);
    EXPECT_FALSE(r.list);
    EXPECT_FALSE(LockDdeBlock(h, pid));
}

TEST_F(DdeParsers, FolderCommandAndHtmlUrl)
{
    std::int32_t h = ShareDdeBlock(OneItemList(), pid);
    TFolderCommand c =
        ParseFolderCommand("[ExploreFolder(\"/home/a b\", :" + std::to_string(h) + ":" + std::to_string(pid) + ", 3)]");
    EXPECT_EQ(c.verb, 2);
    EXPECT_EQ(c.path, "/home/a b");
    EXPECT_TRUE(c.list);
    EXPECT_EQ(c.show, 3);
    EXPECT_TRUE(c.wellFormed);
    TFolderCommand other = ParseFolderCommand("[Rename(\"/x\", :junk)]");
    EXPECT_EQ(other.verb, 0);
    EXPECT_TRUE(ParseFolderCommand("[ViewFolder(\"/x\", :1:2, -)]").verb == 1);
    EXPECT_FALSE(ParseFolderCommand("[ViewFolder(\"/x\", :1:2, -)]").wellFormed);

    EXPECT_EQ(HtmlCommandUrl("file:///a b.html"), "file:///a b.html");
    EXPECT_EQ(HtmlCommandUrl("\"/tmp/x.html\",-1,,,,,"), "/tmp/x.html");
    EXPECT_EQ(HtmlCommandUrl("\"/tmp/unclosed"), "");
}

class RecordingServer : public DdeServer {
public:
    bool answer = true;
    bool ack = true;
    std::vector<std::string> initiated, executed;
    bool DdeInitiate(const std::string& app, const std::string& topic, const DdeClient&) override
    {
        initiated.push_back(app + "|" + topic);
        return answer;
    }
    bool DdeExecute(const std::string& command) override
    {
        executed.push_back(command);
        return ack;
    }
};

TEST(DdeConversation, FirstServerThatAnswersExecutes)
{
    RecordingServer a, b;
    a.answer = false;
    RegisterDdeServer(&a);
    RegisterDdeServer(&b);
    RegisterDdeServer(&b);  // once only
    DdeReply r = DdeExecuteCommand("App", "Topic", "[x()]");
    EXPECT_TRUE(r.answered);
    EXPECT_TRUE(r.ack);
    EXPECT_EQ(a.initiated.size(), 1u);
    EXPECT_TRUE(a.executed.empty());
    EXPECT_EQ(b.executed, std::vector<std::string>{"[x()]"});
    UnregisterDdeServer(&b);
    r = DdeExecuteCommand("App", "Topic", "[y()]");
    EXPECT_FALSE(r.answered);
    UnregisterDdeServer(&a);
}

TEST(DdeConversation, OnlyTheServersThreadIsAnswered)
{
    RecordingServer a;
    RegisterDdeServer(&a);
    DdeReply fromOther{true, true};
    std::thread([&] { fromOther = DdeExecuteCommand("App", "Topic", "[x()]"); }).join();
    EXPECT_FALSE(fromOther.answered);
    EXPECT_TRUE(a.initiated.empty());
    RecordingServer b;
    std::thread([&] { RegisterDdeServer(&b); }).join();
    b.answer = true;
    a.answer = false;
    EXPECT_FALSE(DdeExecuteCommand("App", "Topic", "[y()]").answered);  // b was never registered
    EXPECT_TRUE(b.initiated.empty());
    UnregisterDdeServer(&a);
}

TEST(DdeShellLauncher, UsesARegisteredServerElseTheDesktop)
{
    test::ScopedXdgEnv env;
    test::FakeLauncher desktop;
    TDdeVerbs saved = DdeVerbs;
    DdeShellLauncher launcher(desktop);

    EXPECT_TRUE(launcher.OpenWithDesktop("/tmp/page.html"));  // nothing registered
    EXPECT_EQ(desktop.opened.size(), 1u);

    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec", "", "\"%1\",-1,,,,,"));
    EXPECT_TRUE(launcher.OpenWithDesktop("/tmp/page.html"));  // a verb without an application
    EXPECT_EQ(desktop.opened.size(), 2u);
    // The launcher reads the shell's registration itself, not the names a host has read.
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\application", "", "QLBrowse"));
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "htmlfile\\shell\\open\\ddeexec\\topic", "", "WWW_OpenURL"));
    RecordingServer server;
    RegisterDdeServer(&server);
    EXPECT_TRUE(launcher.OpenWithDesktop("/tmp/a b.HTM"));
    EXPECT_EQ(server.initiated, std::vector<std::string>{"QLBrowse|WWW_OpenURL"});
    EXPECT_EQ(server.executed, std::vector<std::string>{"\"/tmp/a b.HTM\",-1,,,,,"});
    EXPECT_EQ(desktop.opened.size(), 2u);
    server.answer = false;
    EXPECT_TRUE(launcher.OpenWithDesktop("/tmp/other.html"));
    EXPECT_EQ(desktop.opened.back(), "/tmp/other.html");
    EXPECT_TRUE(launcher.OpenWithDesktop("http://example.org/"));  // not a file type with a verb
    EXPECT_EQ(desktop.opened.back(), "http://example.org/");
    UnregisterDdeServer(&server);
    DdeVerbs = saved;
    EXPECT_EQ(ExpandDdeTemplate("[ViewFolder(\"%l\", %I, %S)] 100%", "/p"), "[ViewFolder(\"/p\", :0, 1)] 100%");
}

TEST(DdeRegistry, VerbsAreReadFromClassesRoot)
{
    test::ScopedXdgEnv env;
    TDdeVerbs saved = DdeVerbs;
    ASSERT_TRUE(WriteRegString(RegRoot::ClassesRoot, "Folder\\shell\\open\\ddeexec\\application", "", "Folders"));
    ASSERT_TRUE(
        WriteRegString(RegRoot::ClassesRoot, "Folder\\shell\\open\\ddeexec", "", "[ViewFolder(\"%l\", %I, %S)]"));
    ASSERT_TRUE(
        WriteRegString(RegRoot::ClassesRoot, "Directory\\shell\\find\\ddeexec", "", "[FindFolder(\"%l\", %I)]"));
    ReadDdeVerbs();
    EXPECT_EQ(DdeVerbs.FolderDdeApplication, "Folders");
    EXPECT_EQ(DdeVerbs.OpenVerb, "ViewFolder");
    EXPECT_EQ(DdeVerbs.FindVerb, "FindFolder");
    EXPECT_EQ(DdeVerbs.ExploreVerb, "");
    EXPECT_EQ(DdeVerbs.HtmlDdeApplication, "");
    DdeVerbs = saved;
}

}  // namespace
}  // namespace ql
