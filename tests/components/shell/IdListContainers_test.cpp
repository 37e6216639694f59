#include <gtest/gtest.h>

#include "components/shell/IdListContainers.h"
#include "components/shell/ShellErrors.h"
#include "tests/support/ShellTestEnv.h"

using namespace ql;
using namespace ql::shellctl;

namespace {

ItemIdList List(std::vector<std::string_view> items) { return *ItemIdList::FromItems(items); }

std::string ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EShellError& e) {
        return e.what();
    }
    return "";
}

TEST(TSvIdListArray, ItemsAndAncestors)
{
    auto three = List({"aa", "bbb", "c"});
    TSvIdListArray array(&three);
    EXPECT_EQ(array.Count(), 3);
    EXPECT_EQ(*array.Items(1), List({"bbb"}));
    EXPECT_EQ(*array.Items(2), List({"c"}));
    EXPECT_EQ(ErrorOf([&] { array.Items(3); }), "TSvIdListArray - index 3 out of range");
    EXPECT_EQ(ErrorOf([&] { array.Items(-1); }), "TSvIdListArray - index -1 out of range");
    EXPECT_EQ(*array.Ancestor(1), List({"aa", "bbb"}));
    EXPECT_EQ(*array.Ancestor(0), three);
    EXPECT_TRUE(array.Ancestor(3)->IsEmpty());
    EXPECT_EQ(array.Ancestor(4), nullptr);

    ItemIdList empty;
    TSvIdListArray none(&empty);
    EXPECT_EQ(none.Count(), 0);
    EXPECT_TRUE(none.Items(0)->IsEmpty());
    EXPECT_EQ(none.Items(1), nullptr);
    TSvIdListArray nil(nullptr);
    EXPECT_EQ(nil.Count(), 0);
    EXPECT_EQ(ErrorOf([&] { nil.Items(0); }), "TSvIdListArray - index 0 out of range");
    EXPECT_EQ(nil.Ancestor(0), nullptr);
}

TEST(TSvPidlList, ByteOrderAndDuplicateRules)
{
    auto a = List({"a"}), ab = List({"a", "b"}), b = List({"b"}), a2 = List({"a"});
    TSvPidlList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add(&b), 0);
    EXPECT_EQ(list.Add(&ab), 0);
    EXPECT_EQ(list.Add(&a), 0);  // a list that starts another orders before it
    EXPECT_EQ(list.Pidls(1), &ab);
    EXPECT_EQ(ErrorOf([&] { list.Add(&a2); }), "TSvPidlList: Duplicate PIDL");
    EXPECT_EQ(list.Count(), 3);

    list.Duplicates = pdIgnore;
    EXPECT_EQ(list.Add(&a2), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Pidls(0), &a);

    list.Duplicates = pdAccept;
    int at = list.AddObject(&a2, &list);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Pidls(at), &a2);
    EXPECT_LT(at, list.IndexOf(&ab));
    EXPECT_EQ(list.Objects(at), &list);
    EXPECT_THROW(list.Pidls(9), std::out_of_range);
}

TEST(TSvPidlList, UnsortedSearchAndOwnership)
{
    auto x = List({"x"}), y = List({"y"}), x2 = List({"x"});
    TSvPidlList list;
    list.Add(&y);
    list.Add(&x);
    list.Add(&x2);
    EXPECT_EQ(list.IndexOf(&x2), 1);  // the first equal entry
    EXPECT_EQ(list.IndexOf(nullptr), -1);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    list.AddOwned(std::make_unique<ItemIdList>(List({"owned"})));
    list.Insert(0, &y, nullptr);
    EXPECT_EQ(list.Pidls(0), &y);
    list.SetSorted(true);
    EXPECT_EQ(list.Pidls(3)->ItemData(0), "owned");  // its longer count byte orders it last
    list.Clear();                                    // the owned list goes with it (the sanitizer build checks)
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(y.ItemData(0), "y");
}

TEST(TSvPidlList, FolderOrderIsCapturedPerList)
{
    test::SessionRoot();
    test::TempDir dir;
    dir.write("B", "");
    dir.write("a", "");
    dir.write("sub/x", "");
    auto folder = test::FolderOf(dir.path().string());
    auto item = [&](const char* name) {
        IdListPtr out;
        folder->ParseDisplayName(std::u16string(name, name + std::strlen(name)), nullptr, &out, nullptr);
        return *out;
    };
    auto a = item("a"), b = item("B"), sub = item("sub");
    TSvPidlList byShell, byBytes;
    byShell.ShellFolder = folder.get();
    for (auto* l : {&byShell, &byBytes}) {
        l->Add(&a);
        l->Add(&b);
        l->Add(&sub);
        l->SetSorted(true);
    }
    EXPECT_EQ(byShell.Pidls(0), &sub);  // the folder's order: folders first, names without case
    EXPECT_EQ(byShell.Pidls(1), &a);
    EXPECT_EQ(byBytes.Pidls(2), &sub);  // byte order: the folder flag byte puts "sub" last
    int pos = -1;
    EXPECT_TRUE(byShell.Find(&b, pos));
    EXPECT_EQ(pos, 2);
    // An item the folder cannot compare falls back to byte order instead of breaking the sort.
    auto bad = List({"\x09"});
    byShell.Duplicates = pdAccept;
    byShell.Add(&bad);
    byShell.Sort();
    EXPECT_EQ(byShell.Count(), 4);
}

}  // namespace
