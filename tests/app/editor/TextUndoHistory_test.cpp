#include "app/editor/TextUndoHistory.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

// Applies what Undo asks of the control to `text`, as the control does.
std::wstring Apply(std::wstring text, const TextUndoHistory::Restore& r)
{
    return text.replace(static_cast<std::size_t>(r.from), static_cast<std::size_t>(r.to - r.from), r.text);
}

// Types `chars` at `at` one by one, as the control reports them.
std::wstring Type(TextUndoHistory& h, std::wstring text, std::size_t at, const std::wstring& chars)
{
    for (wchar_t c : chars) {
        text.insert(at++, 1, c);
        h.Changed(text);
    }
    return text;
}

TEST(TextUndoHistoryTest, TypingRunsAndLineBreaksAreStepsAndEachUndoRestoresTheTextBefore)
{
    TextUndoHistory h;
    h.Reset(L"<p>old</p>");
    EXPECT_FALSE(h.CanUndo());
    std::wstring text = Type(h, L"<p>old</p>", 3, L"new ");
    text = Type(h, text, 7, L"\n");
    text = Type(h, text, 8, L"ab");
    ASSERT_EQ(text, L"<p>new \nabold</p>");

    auto r = h.Undo();
    ASSERT_TRUE(r);
    text = Apply(text, *r);
    EXPECT_EQ(text, L"<p>new \nold</p>");
    EXPECT_EQ(r->caret, 8);
    text = Apply(text, *h.Undo());
    EXPECT_EQ(text, L"<p>new old</p>");
    text = Apply(text, *h.Undo());
    EXPECT_EQ(text, L"<p>old</p>");
    EXPECT_EQ(h.Text(), text);
    EXPECT_FALSE(h.CanUndo());
    EXPECT_FALSE(h.Undo());
}

TEST(TextUndoHistoryTest, BackspaceAndDeleteRunsReplacementsAndPastesUndoWhole)
{
    TextUndoHistory h;
    h.Reset(L"one two three");
    // Backspace three times from the end of "two", then Delete twice.
    h.Changed(L"one tw three");
    h.Changed(L"one t three");
    h.Changed(L"one  three");
    h.Changed(L"one three");
    h.Changed(L"one hree");
    // A selection replaced by a paste, then a character typed after it: two steps.
    h.Changed(L"one PASTED");
    h.Changed(L"one PASTEDx");

    std::wstring text = L"one PASTEDx";
    for (const wchar_t* expected : {L"one PASTED", L"one hree", L"one  three", L"one two three"}) {
        auto r = h.Undo();
        ASSERT_TRUE(r) << expected;
        text = Apply(text, *r);
        EXPECT_EQ(text, expected);
    }
    EXPECT_FALSE(h.CanUndo());
    // After an undo a new edit starts a step of its own, even right where the run ended.
    h.Reset(L"ab");
    h.Changed(L"abc");
    h.Undo();
    h.Changed(L"abd");
    h.Changed(L"abde");
    EXPECT_EQ(Apply(L"abde", *h.Undo()), L"ab");
}

TEST(TextUndoHistoryTest, ANewTextForgetsTheStepsAndTheOldestGoBeyondTheLimits)
{
    TextUndoHistory h(3, 1000);
    h.Reset(L"");
    h.Changed(L"a\n");
    h.Changed(L"a\nb\n");
    h.Changed(L"a\nb\nc\n");
    h.Changed(L"a\nb\nc\nd\n");
    int undone = 0;
    std::wstring text = L"a\nb\nc\nd\n";
    while (auto r = h.Undo()) {
        text = Apply(text, *r);
        ++undone;
    }
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(text, L"a\n");

    TextUndoHistory small(100, 10);
    small.Reset(L"");
    small.Changed(L"0123456789");  // a step of ten characters alone is kept
    EXPECT_TRUE(small.CanUndo());
    small.Changed(L"0123456789ABCDEF");
    ASSERT_TRUE(small.Undo());
    EXPECT_FALSE(small.CanUndo());  // the first went to keep within ten characters

    h.Changed(L"x");
    h.Reset(L"loaded page");
    EXPECT_FALSE(h.CanUndo());
    h.Changed(L"loaded page");  // the same text: no step
    EXPECT_FALSE(h.CanUndo());
}

}  // namespace
}  // namespace ql
