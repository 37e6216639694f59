#pragma once
// Which navigations a view that must only show what it was asked to load lets through: a load
// we started (by its address), the server's redirects of that load while it runs, nothing else
// (a page's refresh, form submits, followed links and frames stay where they are).
#include <string>

namespace ql::web {

class OwnLoadGate {
public:
    // We are about to load `url` ("": the next navigation, whatever its address).
    void Expect(const std::string& url);
    // Whether the engine may go to `url`; `redirect` when the server redirected a load.
    bool Decide(const std::string& url, bool redirect);
    // The running load ended (finished or failed).
    void LoadEnded() { inOwnLoad_ = false; }

private:
    std::string expected_;
    bool expecting_ = false;
    bool inOwnLoad_ = false;
};

}  // namespace ql::web
