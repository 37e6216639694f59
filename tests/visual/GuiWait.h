#pragma once
// Runs the wx event loop until a condition holds or a deadline passes.
#include <chrono>
#include <functional>

#include <wx/app.h>
#include <wx/evtloop.h>

namespace ql::test {

inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5))
{
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        // Waits for the next event (at most 20 ms), then lets idle handlers run.
        loop->DispatchTimeout(20);
        wxTheApp->ProcessIdle();
    }
    return true;
}

// Keeps an event loop active for the tests that need one.
class ActiveLoop {
public:
    ActiveLoop() : activator_(&loop_) {}

private:
    wxEventLoop loop_;
    wxEventLoopActivator activator_;
};

}  // namespace ql::test
