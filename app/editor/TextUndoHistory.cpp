#include "app/editor/TextUndoHistory.h"

#include <algorithm>

namespace ql {

TextUndoHistory::TextUndoHistory(std::size_t maxSteps, std::size_t maxChars)
    : maxSteps_(std::max<std::size_t>(1, maxSteps)), maxChars_(maxChars)
{
}

void TextUndoHistory::Reset(std::wstring text)
{
    text_ = std::move(text);
    steps_.clear();
    chars_ = 0;
    sealed_ = true;
}

void TextUndoHistory::Changed(std::wstring text)
{
    const std::size_t limit = std::min(text_.size(), text.size());
    std::size_t head = 0;
    while (head < limit && text_[head] == text[head])
        ++head;
    std::size_t tail = 0;
    while (tail < limit - head && text_[text_.size() - 1 - tail] == text[text.size() - 1 - tail])
        ++tail;
    if (head == text_.size() && head == text.size())
        return;  // nothing changed
    Step step;
    step.at = head;
    step.removed = text_.substr(head, text_.size() - head - tail);
    step.inserted = text.substr(head, text.size() - head - tail);
    text_ = std::move(text);
    // A run goes on with single characters typed or deleted; a line break ends it.
    const bool typed = step.removed.empty() && step.inserted.size() == 1 && step.inserted != L"\n";
    const bool deleted = step.inserted.empty() && step.removed.size() == 1;
    if (!((typed || deleted) && Merge(step, typed))) {
        chars_ += step.removed.size() + step.inserted.size();
        steps_.push_back(std::move(step));
        deleting_ = Deleting::Either;
    }
    sealed_ = !(typed || deleted);
    Forget();
}

bool TextUndoHistory::Merge(const Step& next, bool typed)
{
    if (sealed_ || steps_.empty())
        return false;
    Step& last = steps_.back();
    const bool deleted = !typed;
    if (typed && last.removed.empty() && next.at == last.at + last.inserted.size()) {
        last.inserted += next.inserted;
    } else if (deleted && last.inserted.empty() && next.at + 1 == last.at && deleting_ != Deleting::Forward) {
        last.at = next.at;  // Backspace
        last.removed.insert(0, next.removed);
        deleting_ = Deleting::Backward;
    } else if (deleted && last.inserted.empty() && next.at == last.at && deleting_ != Deleting::Backward) {
        last.removed += next.removed;  // Delete
        deleting_ = Deleting::Forward;
    } else {
        return false;
    }
    ++chars_;
    return true;
}

void TextUndoHistory::Forget()
{
    while (steps_.size() > 1 && (steps_.size() > maxSteps_ || chars_ > maxChars_)) {
        chars_ -= steps_.front().removed.size() + steps_.front().inserted.size();
        steps_.pop_front();
    }
}

std::optional<TextUndoHistory::Restore> TextUndoHistory::Undo()
{
    if (steps_.empty())
        return std::nullopt;
    Step step = std::move(steps_.back());
    steps_.pop_back();
    chars_ -= step.removed.size() + step.inserted.size();
    sealed_ = true;
    Restore r;
    r.from = static_cast<long>(step.at);
    r.to = static_cast<long>(step.at + step.inserted.size());
    r.caret = static_cast<long>(step.at + step.removed.size());
    text_.replace(step.at, step.inserted.size(), step.removed);
    r.text = std::move(step.removed);
    return r;
}

}  // namespace ql
