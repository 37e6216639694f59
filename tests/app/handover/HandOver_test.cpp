#include "app/handover/HandOver.h"
#include "platform/core/CopyDataFrame.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(HandOverText, JoinsAtMostThreeArgumentsWithCrLfAndTheMessageCountsItsNul)
{
    CopyDataMessage msg = CopyDataMessage::FromText(HandOverText({"a.html", "u", "t"}), 0, 0);
    EXPECT_EQ(msg.data, std::string("a.html\r\nu\r\nt\0", 13));
    EXPECT_EQ(msg.data.size(), 13u);
    EXPECT_EQ(HandOverText({"a", "b", "c", "d", "e"}), "a\r\nb\r\nc");
    EXPECT_EQ(HandOverText({"a.html", "u"}), "a.html\r\nu");
    EXPECT_EQ(HandOverText({"forcehide"}), "forcehide");
    EXPECT_EQ(HandOverText({}), "");

    // An argument's own line breaks would shift the lines the receiver reads (a title's second
    // line taken for nothing, a URL's for the title): each becomes a blank.
    ClipHandOver h = ParseHandOverText(HandOverText({"a.html", "http://u/\nTitle?", "two\r\nlines"}));
    EXPECT_EQ(h.File, "a.html");
    EXPECT_EQ(h.Url, "http://u/ Title?");
    EXPECT_EQ(h.Title, "two  lines");
}

TEST(HandOverText, ParsesCrLfCrOnlyAndLfOnlyLinesAndLeavesMissingOnesEmpty)
{
    for (const char* text : {"f\r\nu\r\nt", "f\ru\rt", "f\nu\nt", "f\nu\r\nt"}) {
        ClipHandOver h = ParseHandOverText(text);
        EXPECT_EQ(h.File, "f") << text;
        EXPECT_EQ(h.Url, "u") << text;
        EXPECT_EQ(h.Title, "t") << text;
    }
    ClipHandOver one = ParseHandOverText("only.html");
    EXPECT_EQ(one.File, "only.html");
    EXPECT_EQ(one.Url, "");
    EXPECT_EQ(one.Title, "");
    ClipHandOver empty = ParseHandOverText("");
    EXPECT_EQ(empty.File, "");
    // The receiver reads up to the first NUL only.
    EXPECT_EQ(ParseHandOverText(std::string("f\r\nu\0\r\nhidden", 14)).Title, "");
}

TEST(HandOverText, FramesWithoutTheirNulOrAboveTheLimitAreRefused)
{
    CopyDataMessage ok = CopyDataMessage::FromText(HandOverText({"a.html", "u", "t"}), 0, 0);
    EXPECT_TRUE(EncodeCopyDataFrame(ok).has_value());
    CopyDataMessage noNul = ok;
    noNul.data.pop_back();
    EXPECT_FALSE(EncodeCopyDataFrame(noNul).has_value());
    CopyDataMessage huge = CopyDataMessage::FromText(std::string(kCopyDataMaxBytes, 'x'), 0, 0);
    EXPECT_FALSE(EncodeCopyDataFrame(huge).has_value());
    EXPECT_FALSE(CopyDataBodyValid("abc"));
}

TEST(AbsoluteClipPath, MakesARelativeExistingFileAbsoluteAndLeavesEverythingElse)
{
    test::TempDir temp;
    temp.write("sub/clip.html", "x");
    const std::string cwd = temp.path().string();
    EXPECT_EQ(AbsoluteClipPath("sub/clip.html", cwd), temp.dir() + "sub/clip.html");
    EXPECT_EQ(AbsoluteClipPath("sub/clip.html", cwd + "/"), temp.dir() + "sub/clip.html");
    EXPECT_EQ(AbsoluteClipPath("/abs/clip.html", cwd), "/abs/clip.html");
    EXPECT_EQ(AbsoluteClipPath("forcehide", cwd), "forcehide");
    EXPECT_EQ(AbsoluteClipPath("missing.html", cwd), "missing.html");
    EXPECT_EQ(AbsoluteClipPath("", cwd), "");
}

TEST(SendHandOverWithRetry, RetriesWhileTheFirstInstanceStartsThenGivesUpAndSaysSo)
{
    int tries = 0, waited = 0;
    auto wait = [&](int ms) { waited += ms; };
    // Listening after the third try.
    auto result = SendHandOverWithRetry(
        [&] { return ++tries < 3 ? HandOverSend::NoReceiver : HandOverSend::Delivered; }, wait, [] { return true; });
    EXPECT_EQ(result, HandOverSend::Delivered);
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(waited, 200);
    EXPECT_EQ(HandOverFailureLine(result), "");

    tries = waited = 0;
    result = SendHandOverWithRetry(
        [&] {
            ++tries;
            return HandOverSend::NoReceiver;
        },
        wait, [] { return true; }, 1000, 100);
    EXPECT_EQ(result, HandOverSend::NoReceiver);
    EXPECT_EQ(waited, 1000);
    EXPECT_EQ(tries, 11);
    EXPECT_NE(HandOverFailureLine(result), "");

    // The first instance went away: no point in waiting.
    tries = waited = 0;
    result = SendHandOverWithRetry(
        [&] {
            ++tries;
            return HandOverSend::NoReceiver;
        },
        wait, [] { return false; });
    EXPECT_EQ(tries, 1);
    EXPECT_EQ(waited, 0);

    // A refused or timed-out message is not sent twice: its handler may have run.
    tries = 0;
    result = SendHandOverWithRetry(
        [&] {
            ++tries;
            return HandOverSend::Failed;
        },
        wait, [] { return true; });
    EXPECT_EQ(tries, 1);
    EXPECT_NE(HandOverFailureLine(result), "");
}

}  // namespace
}  // namespace ql
