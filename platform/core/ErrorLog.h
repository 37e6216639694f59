#pragma once
// The one place where the program writes its failures down, and the one guard that keeps an
// exception from leaving an event handler. Quillory has no log file: a failure is one line on
// the standard error stream ("quillory: <where>: <what>"); telling the user stays with the
// caller, which knows whether a box is due.
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace ql {

void LogError(std::string_view where, std::string_view what) noexcept;

// What the exception being handled says; only inside a catch block.
std::string CurrentExceptionText();
// LogError with that text; only inside a catch block.
void LogCurrentException(std::string_view where) noexcept;

// For an exception that escaped as far as the event loop (only inside a catch block): logs it
// under `where` and tells whether the loop may go on. After running out of memory it may not:
// the program then ends through its exit saves rather than run on with half-done work.
bool ContinueAfterEscapedException(std::string_view where = "event loop") noexcept;

// Runs `handler`; an exception it throws is logged under `where` and goes no further; `tell`,
// where the user is to be told as well, then gets its text (what `tell` throws is logged too).
// True when the handler returned normally (and, for a handler that returns bool, returned true).
template <class F, class Tell>
bool GuardHandler(std::string_view where, F&& handler, Tell&& tell) noexcept
{
    try {
        if constexpr (std::is_same_v<std::invoke_result_t<F>, bool>)
            return handler();
        else {
            handler();
            return true;
        }
    } catch (...) {
        LogCurrentException(where);
        try {
            const std::string text = CurrentExceptionText();
            tell(text);
        } catch (...) {
            LogCurrentException(where);
        }
    }
    return false;
}

template <class F>
bool GuardHandler(std::string_view where, F&& handler) noexcept
{
    return GuardHandler(where, std::forward<F>(handler), [](const std::string&) {});
}

}  // namespace ql
