#include "platform/core/com/Dispatch.h"

#include <gtest/gtest.h>

namespace ql::com {
namespace {

TEST(WideText, ConvertsBothWaysIncludingSurrogatePairs)
{
    std::string utf8 = "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";
    std::u16string wide = WideFromUtf8(utf8);
    EXPECT_EQ(wide, u"A\u00e9\u4e2d\U0001F600");
    EXPECT_EQ(Utf8FromWide(wide), utf8);
}

TEST(WideText, BrokenInputBecomesReplacementCharacters)
{
    EXPECT_EQ(WideFromUtf8("a\xFF"
                           "b\xED\xA0\x80"),
              u"a\uFFFDb\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8FromWide(std::u16string{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)}), "a\xEF\xBF\xBD"
                                                                                            "b\xEF\xBF\xBD");
}

TEST(VariantValue, KeepsItsTypeAndSpellsItselfAsText)
{
    EXPECT_EQ(Variant().vt(), VT_EMPTY);
    EXPECT_EQ(Variant::Null().vt(), VT_NULL);
    EXPECT_EQ(Variant(std::int32_t(-5)).vt(), VT_I4);
    EXPECT_EQ(Variant(true).vt(), VT_BOOL);
    EXPECT_EQ(Variant(u"x").vt(), VT_BSTR);
    EXPECT_EQ(Variant::Bytes({1, 2}).vt(), VT_ARRAY | VT_UI1);
    EXPECT_EQ(Variant::UInt32(0xC00007B0u).ToUtf8(), "3221227440");
    EXPECT_EQ(Variant(2.5).ToUtf8(), "2.5");
    EXPECT_EQ(Variant::Text("\xC3\xA9").ToUtf8(), "\xC3\xA9");
    EXPECT_EQ(Variant::Null().ToUtf8(), "");
    const Variant three(std::int32_t(3)), threeAgain(std::int32_t(3)), unsignedThree = Variant::UInt32(3);
    EXPECT_TRUE(three == threeAgain);
    EXPECT_FALSE(three == unsignedThree);
}

}  // namespace
}  // namespace ql::com
