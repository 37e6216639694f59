#include "components/browserhost/WebHostPidls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ql {
namespace {

using shell::ItemIdList;
using Bytes = std::vector<std::uint8_t>;

Bytes Item(std::size_t dataBytes, std::uint8_t fill)
{
    Bytes b(dataBytes + 2, fill);
    b[0] = static_cast<std::uint8_t>((dataBytes + 2) & 0xFF);
    b[1] = static_cast<std::uint8_t>((dataBytes + 2) >> 8);
    return b;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

const Bytes kEnd{0, 0};

TEST(ItemIdListValue, SizesCountsAndItems)
{
    ItemIdList desktop;
    EXPECT_EQ(desktop.Size(), 2u);
    EXPECT_TRUE(desktop.IsEmpty());
    Bytes raw = Join({Item(20, 'a'), Item(3, 'b'), kEnd});
    auto list = ItemIdList::FromBytes(raw.data(), raw.size());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Size(), 22u + 5u + 2u);
    EXPECT_EQ(list->ItemCount(), 2u);
    EXPECT_EQ(list->ItemData(1), "bbb");
    EXPECT_EQ(list->LastItem().Bytes(), Join({Item(3, 'b'), kEnd}));
    EXPECT_EQ(list->Ancestor(1)->Bytes(), Join({Item(20, 'a'), kEnd}));
    EXPECT_TRUE(list->Ancestor(2)->IsEmpty());
    EXPECT_FALSE(list->Ancestor(3));
    EXPECT_EQ(*ItemIdList::Join(*list->Ancestor(1), list->LastItem()), *list);
    EXPECT_EQ(*ItemIdList::Join(desktop, *list), *list);
    EXPECT_EQ(ItemIdList::FromItems({std::string(20, 'a'), "bbb"})->Bytes(), raw);
    EXPECT_FALSE(ItemIdList::FromItems({std::string(0xFFFE, 'x')}));
}

TEST(ItemIdListValue, MalformedListsAreRejected)
{
    const Bytes cases[] = {
        {},                              // nothing at all
        {0},                             // half a count
        {1, 0, 0, 0},                    // a count below 2 would never advance
        Join({Item(4, 'x')}),            // no terminator
        Join({Item(4, 'x'), Bytes{0}}),  // half a terminator
        {10, 0, 1, 2, 3},                // the item runs past the end
        {0xFF, 0xFF, 0, 0},              // a huge count
    };
    for (const auto& c : cases)
        EXPECT_FALSE(ItemIdList::FromBytes(c.data(), c.size())) << c.size();
    EXPECT_FALSE(ItemIdList::FromBytes(nullptr, 10));
    // Bytes after the terminator are not part of the list.
    Bytes trailing = Join({Item(1, 'q'), kEnd, Bytes{9, 9, 9}});
    EXPECT_EQ(ItemIdList::FromBytes(trailing.data(), trailing.size())->Size(), 5u);
}

TEST(ItemIdListValue, ByteOrderComparison)
{
    auto a = *ItemIdList::FromItems({"ab"});
    auto b = *ItemIdList::FromItems({"ac"});
    auto ab = *ItemIdList::FromItems({"ab", "x"});
    EXPECT_LT(ItemIdList::Compare(a, b), 0);
    EXPECT_GT(ItemIdList::Compare(b, a), 0);
    EXPECT_EQ(ItemIdList::Compare(a, a), 0);
    EXPECT_NE(ItemIdList::Compare(a, ab), 0);
    EXPECT_EQ(ItemIdList::Compare(ItemIdList(), ItemIdList()), 0);
}

TEST(WebHostPidls, SizeCopyAndFree)
{
    EXPECT_EQ(ItemIdListSize(nullptr), 0u);
    ItemIdList desktop;
    EXPECT_EQ(ItemIdListSize(&desktop), 2u);
    PItemIdList copy = CopyItemIdList(kEnd.data(), kEnd.size());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Bytes(), kEnd);  // a 2-byte block of zeros
    Bytes raw = Join({Item(20, 'z'), kEnd});
    copy = CopyItemIdList(raw.data(), raw.size());
    ASSERT_TRUE(copy);
    EXPECT_EQ(ItemIdListSize(copy.get()), 24u);
    PItemIdList again = CopyItemIdList(copy.get());
    EXPECT_EQ(*again, *copy);
    FreeItemIdList(copy);
    EXPECT_FALSE(copy);
    FreeItemIdList(copy);  // nil: nothing
    EXPECT_FALSE(CopyItemIdList(static_cast<const shell::ItemIdList*>(nullptr)));
    Bytes bad{6, 0, 1};
    EXPECT_FALSE(CopyItemIdList(bad.data(), bad.size()));
    EXPECT_EQ(AllocItemIdList(5), Bytes(5, 0));
    EXPECT_FALSE(AllocItemIdList(shell::ItemIdList::kMaxBytes + 1));
}

TEST(WebHostPidls, NextItemIdWalksWithinBounds)
{
    Bytes raw = Join({Item(2, 'a'), Item(1, 'b'), kEnd});
    const std::uint8_t* end = raw.data() + raw.size();
    const std::uint8_t* p = NextItemId(raw.data(), end);
    EXPECT_EQ(p, raw.data() + 4);
    p = NextItemId(p, end);
    EXPECT_EQ(p, raw.data() + 7);
    EXPECT_EQ(NextItemId(p, end), p);                            // the terminator
    EXPECT_EQ(NextItemId(raw.data(), raw.data() + 5), nullptr);  // no room for the next count
    Bytes one{1, 0, 0, 0};
    EXPECT_EQ(NextItemId(one.data(), one.data() + one.size()), nullptr);
    EXPECT_EQ(NextItemId(raw.data(), raw.data() + 1), nullptr);
}

}  // namespace
}  // namespace ql
