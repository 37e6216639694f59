#include "platform/gui/Json.h"

#include <gtest/gtest.h>

namespace ql::json {
namespace {

TEST(JsonQuote, EscapesWhatWouldBreakAScript)
{
    EXPECT_EQ(Quote("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(Quote("line\nnext\r\ttab"), R"("line\nnext\r\ttab")");
    EXPECT_EQ(Quote(std::string("nul\0x", 5)), R"("nul\u0000x")");
    EXPECT_EQ(Quote("\x01\x1f\x7f"), R"("\u0001\u001f\u007f")");
    // Line and paragraph separators end a script line in older engines.
    EXPECT_EQ(Quote("a\xE2\x80\xA8"
                    "b\xE2\x80\xA9"),
              R"("a\u2028b\u2029")");
    EXPECT_EQ(Quote("</script><!--"), R"("</script><!--")");
}

TEST(JsonQuote, KeepsUtf8AndReplacesBrokenBytes)
{
    EXPECT_EQ(Quote("\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"), "\"\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80\"");
    // A lone continuation byte, a truncated sequence and an overlong form.
    EXPECT_EQ(Quote("a\x80"
                    "b\xE4\xB8"
                    "c\xC0\xAF"),
              "\"a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD\xEF\xBF\xBD"
              "c\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

TEST(JsonParse, ReadsValuesAndKeepsObjectOrder)
{
    auto v = Parse(R"( {"b": [1, -2.5e1, true, false, null], "a": "x\u00e9\ud83d\ude00", "b2": {}} )");
    ASSERT_TRUE(v);
    const Object* o = v->AsObject();
    ASSERT_TRUE(o);
    ASSERT_EQ(o->size(), 3u);
    EXPECT_EQ((*o)[0].first, "b");
    const Array* a = v->Find("b")->AsArray();
    ASSERT_TRUE(a);
    EXPECT_EQ(*(*a)[0].AsNumber(), 1);
    EXPECT_EQ(*(*a)[1].AsNumber(), -25);
    EXPECT_TRUE(*(*a)[2].AsBool());
    EXPECT_TRUE((*a)[4].IsNull());
    EXPECT_EQ(*v->Find("a")->AsString(), "x\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(v->Find("missing"), nullptr);
}

TEST(JsonParse, RejectsWhatIsNotStrictJson)
{
    for (const char* bad : {"", "1e400", "[1,]", "{\"a\":1,}", "01", "1.", ".5", "+1", "'x'", "\"tab\there\"", "[1] 2",
                            "nul", "{a:1}", "\"\\x41\"", "\"open", "[", "{\"a\" 1}", "\"\\u12\""}) {
        EXPECT_FALSE(Parse(bad)) << bad;
    }
}

TEST(JsonParse, LimitsNestingAndMendsLoneSurrogates)
{
    EXPECT_TRUE(Parse(std::string(150, '[') + std::string(150, ']')));
    EXPECT_FALSE(Parse(std::string(5000, '[') + std::string(5000, ']')));
    EXPECT_EQ(*Parse(R"("\ud800x")")->AsString(), "\xEF\xBF\xBDx");
    EXPECT_EQ(*Parse(R"("\udc00\ud800\u0041")")->AsString(), "\xEF\xBF\xBD\xEF\xBF\xBD"
                                                             "A");
}

TEST(JsonEncode, RoundTripsThroughParse)
{
    Value v(
        Object{{"t", "q\"\n\xE2\x80\xA8"}, {"n", 0.1}, {"big", std::int64_t(1) << 40}, {"l", Array{true, nullptr}}});
    std::string text = Encode(v);
    auto back = Parse(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, v);
    EXPECT_EQ(Encode(Value(1.0 / 0.0)), "null");
}

}  // namespace
}  // namespace ql::json
