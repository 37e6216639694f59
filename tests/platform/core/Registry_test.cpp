#include "platform/core/Registry.h"
#include "platform/core/RegistryText.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using ql::Registry;
using ql::RegRoot;
using ql::RegType;

namespace {

constexpr auto CU = RegRoot::CurrentUser;
constexpr auto CR = RegRoot::ClassesRoot;

TEST(Registry, TypedValuesRoundTripThroughTheStoreFile)
{
    ql::test::ScopedXdgEnv env;
    {
        Registry reg;
        ASSERT_TRUE(reg.WriteString(CU, "\\Software\\Tessaly\\Pouchly", "exe", "/opt/q \"x\"\\y\n\x01"));
        ASSERT_TRUE(reg.WriteDWord(CU, "Software\\Tessaly\\Pouchly\\FormPos", "Left", 0xFFFFFFF6u));
        ASSERT_TRUE(reg.WriteBinary(CU, "Software\\Bin", "cols", std::string("\x00\xff\x10", 3)));
        ASSERT_TRUE(reg.WriteString(CR, "htmlfile\\shell", "", "default"));
        ASSERT_TRUE(reg.WriteBinary(CU, "Software\\Bin", "empty", ""));
    }
    EXPECT_TRUE(std::filesystem::exists(env.root().path() / "config/quillory/registry"));
    // A temporary that a killed writer left is gone with the next write.
    env.root().write("config/quillory/.registry.tmp=Ab12Cd", "half a store");
    ASSERT_TRUE(Registry().WriteString(CU, "Software\\Bin", "again", "1"));
    EXPECT_FALSE(std::filesystem::exists(env.root().path() / "config/quillory/.registry.tmp=Ab12Cd"));
    Registry reg;  // a fresh object reads only the file
    EXPECT_EQ(reg.ReadString(CU, "software\\tessaly\\POUCHLY", "EXE"), "/opt/q \"x\"\\y\n\x01");
    EXPECT_EQ(reg.ReadDWord(CU, "\\Software\\Tessaly\\Pouchly\\FormPos\\", "left"), 0xFFFFFFF6u);
    EXPECT_EQ(reg.ReadBinary(CU, "Software\\Bin", "cols"), std::string("\x00\xff\x10", 3));
    EXPECT_EQ(reg.ReadBinary(CU, "Software\\Bin", "empty"), std::string());
    EXPECT_EQ(reg.ReadString(CR, "\\HTMLFILE\\shell", ""), "default");
    // Roots are separate; wrong types and missing values read as nothing.
    EXPECT_FALSE(reg.ReadString(CU, "htmlfile\\shell", ""));
    EXPECT_FALSE(reg.ReadString(CU, "Software\\Tessaly\\Pouchly\\FormPos", "Left"));
    EXPECT_FALSE(reg.ReadDWord(CU, "Software\\Tessaly\\Pouchly", "exe"));
    EXPECT_EQ(reg.ValueType(CU, "Software\\Bin", "COLS"), RegType::Binary);
    EXPECT_FALSE(reg.ValueExists(CU, "Software\\Bin", "none"));
}

TEST(Registry, KeysAreCreatedWithParentsListedAndDeletedWithChildren)
{
    ql::test::ScopedXdgEnv env;
    Registry reg;
    ASSERT_TRUE(reg.CreateKey(CR, "\\.htm\\OpenWithList\\Zeta"));
    ASSERT_TRUE(reg.CreateKey(CR, ".htm\\openwithlist\\alpha\\shell"));
    ASSERT_TRUE(reg.CreateKey(CR, ".htm\\OpenWithList\\Beta"));
    EXPECT_TRUE(reg.KeyExists(CR, ".HTM"));
    EXPECT_EQ(reg.SubKeyNames(CR, ".htm\\OpenWithList"), (std::vector<std::string>{"alpha", "Beta", "Zeta"}));
    EXPECT_EQ(reg.SubKeyNames(CR, ""), (std::vector<std::string>{".htm"}));
    EXPECT_TRUE(reg.SubKeyNames(CR, "missing").empty());

    ASSERT_TRUE(reg.WriteString(CR, ".htm\\OpenWithList\\alpha\\shell", "v", "x"));
    ASSERT_TRUE(reg.DeleteKey(CR, ".htm\\OpenWithList\\ALPHA"));
    EXPECT_FALSE(reg.KeyExists(CR, ".htm\\OpenWithList\\alpha\\shell"));
    EXPECT_EQ(reg.SubKeyNames(CR, ".htm\\OpenWithList"), (std::vector<std::string>{"Beta", "Zeta"}));
    EXPECT_FALSE(reg.DeleteKey(CR, "nothing"));
    EXPECT_FALSE(reg.DeleteKey(CR, "\\"));

    // Siblings whose names extend the deleted one sort between it and its children
    // (' ', '.', '-' and digits come before '\\'): the children still go, the siblings stay.
    for (const char* sibling : {"Software\\Foo2", "Software\\Foo.bak", "Software\\Foo bar", "Software\\Foo-x"})
        ASSERT_TRUE(reg.WriteString(CU, sibling, "keep", "1"));
    ASSERT_TRUE(reg.WriteString(CU, "Software\\Foo\\child\\deeper", "v", "1"));
    ASSERT_TRUE(reg.DeleteKey(CU, "Software\\Foo"));
    EXPECT_FALSE(reg.KeyExists(CU, "Software\\Foo\\child"));
    EXPECT_FALSE(reg.KeyExists(CU, "Software\\Foo\\child\\deeper"));
    EXPECT_FALSE(Registry().KeyExists(CU, "Software\\Foo"));  // nor rebuilt from the store
    EXPECT_EQ(Registry().SubKeyNames(CU, "Software"),
              (std::vector<std::string>{"Foo bar", "Foo-x", "Foo.bak", "Foo2"}));

    ASSERT_TRUE(reg.WriteString(CU, "K", "a", "1"));
    ASSERT_TRUE(reg.WriteString(CU, "K", "b", "2"));
    ASSERT_TRUE(reg.WriteDWord(CU, "K", "A", 7));  // same name: replaced in place, new type
    EXPECT_EQ(reg.ValueNames(CU, "K"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(reg.ReadDWord(CU, "K", "a"), 7u);
    EXPECT_TRUE(reg.DeleteValue(CU, "K", "B"));
    EXPECT_FALSE(reg.DeleteValue(CU, "K", "b"));

    // Malformed paths are refused rather than guessed at.
    EXPECT_FALSE(reg.CreateKey(CU, "a\\\\b"));
    EXPECT_FALSE(reg.WriteString(CU, "a\nb", "x", "y"));
    EXPECT_FALSE(reg.KeyExists(CU, "a\\\\b"));
}

TEST(Registry, DamagedStoreKeepsReadableLinesAndUnreadableStoreIsNeverReplaced)
{
    const std::string text =
        "garbage line\n\"orphan\"=\"no key yet\"\n[HKEY_CURRENT_USER\\A]\r\n\"ok\"=\"1\"\n\"bad\"=\"unterminated\n"
        "\"esc\"=\"\\q\"\n\"d\"=dword:123456789\n\"h\"=hex:0g\n\"t\"=\"x\" trailing\n@=dword:0000002a\n"
        "[HKEY_NOWHERE\\B]\n\"lost\"=\"1\"\n[HKEY_CLASSES_ROOT]\n\"rootval\"=hex:01,02\n[HKEY_CURRENT_USER\\C\n";
    ql::RegistryTree tree = ql::ParseRegistryText(text);
    ql::RegistryKey* a = tree.Find(CU, "a");
    ASSERT_TRUE(a);
    ASSERT_EQ(a->values.size(), 2u);
    EXPECT_EQ(a->Get("ok")->data, "1");
    EXPECT_EQ(ql::DWordOf(a->Get("")->data), 42u);
    EXPECT_EQ(tree.Find(CR, "")->Get("rootval")->data, "\x01\x02");
    EXPECT_FALSE(tree.Find(CU, "B"));
    EXPECT_FALSE(tree.Find(CU, "C"));
    // What is written reads back the same.
    std::string again = ql::FormatRegistryText(tree);
    EXPECT_EQ(ql::FormatRegistryText(ql::ParseRegistryText(again)), again);

    ql::test::ScopedXdgEnv env;
    std::string store = Registry::DefaultStoreFile();
    std::filesystem::create_directory(store);  // a folder where the file should be
    Registry reg;
    EXPECT_FALSE(reg.WriteString(CU, "A", "x", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(store));

    Registry none("");
    EXPECT_FALSE(none.WriteString(CU, "A", "x", "1"));
    EXPECT_FALSE(none.ReadString(CU, "A", "x"));
}

// Two processes writing at once: every value of both arrives, none is lost to a stale save.
TEST(Registry, ConcurrentWritersInTwoProcessesLoseNothing)
{
    ql::test::ScopedXdgEnv env;
    constexpr int kEach = 40;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Registry reg;
        bool ok = true;
        for (int i = 0; i < kEach; ++i)
            ok = reg.WriteDWord(CU, "Shared", "child" + std::to_string(i), static_cast<std::uint32_t>(i)) && ok;
        _exit(ok ? 0 : 1);
    }
    Registry reg;
    for (int i = 0; i < kEach; ++i)
        EXPECT_TRUE(reg.WriteDWord(CU, "Shared", "parent" + std::to_string(i), static_cast<std::uint32_t>(i)));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(reg.ValueNames(CU, "Shared").size(), 2u * kEach);
    EXPECT_EQ(reg.ReadDWord(CU, "shared", "child39"), 39u);
}

}  // namespace
