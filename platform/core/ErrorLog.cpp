#include "platform/core/ErrorLog.h"

#include <cstdio>
#include <new>

namespace ql {

void LogError(std::string_view where, std::string_view what) noexcept
{
    if (what.empty())
        what = "failed";
    // One locked write, so lines of two threads never interleave.
    flockfile(stderr);
    std::fputs("quillory: ", stderr);
    if (!where.empty()) {
        std::fwrite(where.data(), 1, where.size(), stderr);
        std::fputs(": ", stderr);
    }
    std::fwrite(what.data(), 1, what.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    funlockfile(stderr);
}

std::string CurrentExceptionText()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unexpected failure";
    }
}

void LogCurrentException(std::string_view where) noexcept
{
    try {
        LogError(where, CurrentExceptionText());
    } catch (...) {
        LogError(where, "out of memory");
    }
}

bool ContinueAfterEscapedException(std::string_view where) noexcept
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        LogError(where, "out of memory; Quillory ends");
        return false;
    } catch (...) {
        LogCurrentException(where);
        return true;
    }
}

}  // namespace ql
