#include "platform/core/ClipboardFormats.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace ql {
namespace {

TEST(ClipboardFormats, StandardNumbersAndRegisteredRange)
{
    EXPECT_EQ(CF_TEXT, 1u);
    EXPECT_EQ(CF_DIB, 8u);
    EXPECT_EQ(CF_HDROP, 15u);
    std::uint32_t id = RegisterClipboardFormat("ql-test Format One");
    EXPECT_GE(id, 0xC000u);
    EXPECT_LE(id, 0xFFFFu);
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
}

TEST(ClipboardFormats, SameNameAnyCaseSameNumberAndFirstSpellingKept)
{
    std::uint32_t a = RegisterClipboardFormat("ql-test HTML Thing");
    EXPECT_EQ(RegisterClipboardFormat("QL-TEST html thing"), a);
    EXPECT_EQ(RegisterClipboardFormat("ql-test HTML Thing"), a);
    EXPECT_NE(RegisterClipboardFormat("ql-test HTML Thing2"), a);
    EXPECT_EQ(GetClipboardFormatName(a), "ql-test HTML Thing");
    EXPECT_EQ(GetClipboardFormatName(CF_HDROP), "CF_HDROP");
    EXPECT_EQ(GetClipboardFormatName(0xFFFF), "");
    EXPECT_EQ(GetClipboardFormatName(2), "");
}

TEST(ClipboardFormats, ConcurrentRegistrationGivesOneNumberPerName)
{
    std::vector<std::vector<std::uint32_t>> seen(8);
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t, &seen] {
            for (int i = 0; i < 50; ++i)
                seen[t].push_back(RegisterClipboardFormat("ql-race-" + std::to_string(i)));
        });
    for (auto& th : threads)
        th.join();
    std::set<std::uint32_t> distinct(seen[0].begin(), seen[0].end());
    EXPECT_EQ(distinct.size(), 50u);
    for (int t = 1; t < 8; ++t)
        EXPECT_EQ(seen[t], seen[0]);
}

}  // namespace
}  // namespace ql
