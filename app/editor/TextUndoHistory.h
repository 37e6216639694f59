#pragma once
// The Text view's Undo. The text control says that its text changed, not how, so each new
// text is compared with the one before: what lies between their common start and end is the
// change. Characters typed one after the other make one step, and so do characters deleted one
// after the other; a line break, a paste or a cut makes a step of its own. A text loaded into
// the view starts a new history. Positions count characters, as the control's do.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace ql {

class TextUndoHistory {
public:
    // What taking a step back asks of the control: the characters [from, to) become `text`,
    // and the caret goes after them.
    struct Restore {
        long from = 0;
        long to = 0;
        std::wstring text;
        long caret = 0;
    };

    // The oldest steps are forgotten beyond `maxSteps`, or when the steps hold more than
    // `maxChars` characters together.
    explicit TextUndoHistory(std::size_t maxSteps = 500, std::size_t maxChars = std::size_t(1) << 22);

    void Reset(std::wstring text);    // a new text: nothing to undo
    void Changed(std::wstring text);  // the text as it is after an edit
    bool CanUndo() const { return !steps_.empty(); }
    // Takes the latest step back; nullopt when there is none.
    std::optional<Restore> Undo();
    const std::wstring& Text() const { return text_; }  // the text as this history knows it

private:
    struct Step {
        std::size_t at = 0;
        std::wstring removed;   // what the edit took out at `at`
        std::wstring inserted;  // what it put in its place
    };
    bool Merge(const Step& next, bool typed);  // `next` is one character typed, or else deleted
    void Forget();

    std::wstring text_;
    std::deque<Step> steps_;
    std::size_t chars_ = 0;  // held by the steps
    bool sealed_ = true;     // the latest step takes no further characters
    // Which way a run of deletions goes: Backspace and Delete do not make one run.
    enum class Deleting { Either, Backward, Forward } deleting_ = Deleting::Either;
    std::size_t maxSteps_;
    std::size_t maxChars_;
};

}  // namespace ql
