#pragma once
// Yields to the toolkit every 2 ms until a condition holds or `timeout` passes; the condition's
// last answer.
#include <wx/app.h>

#include <chrono>
#include <thread>

namespace ql::test {

template <class F>
bool YieldUntil(F done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done() && std::chrono::steady_clock::now() < end) {
        wxTheApp->Yield(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}

}  // namespace ql::test
