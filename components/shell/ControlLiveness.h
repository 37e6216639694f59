#pragma once
// Whether a control still lives, for calls that may arrive after it has gone: the watching
// thread's posts, device changes, queued calls. The control ends its liveness first in its
// destructor; calls wrapped here do nothing from then on.
#include <memory>
#include <utility>

namespace ql::shellctl {

class TControlLiveness {
public:
    TControlLiveness() = default;
    ~TControlLiveness() { End(); }
    TControlLiveness(const TControlLiveness&) = delete;
    TControlLiveness& operator=(const TControlLiveness&) = delete;

    void End() { token_.reset(); }
    bool Alive() const { return token_ != nullptr; }

    // `f` as a callable that runs it (with whatever arguments it is given) only while the control
    // lives. Copies may be taken on any thread; they must be called on the control's thread.
    template <class F>
    auto WhileAlive(F f) const
    {
        return [weak = std::weak_ptr<const char>(token_), f = std::move(f)](auto&&... args) {
            if (weak.lock())
                f(std::forward<decltype(args)>(args)...);
        };
    }

private:
    std::shared_ptr<const char> token_ = std::make_shared<const char>('\0');
};

}  // namespace ql::shellctl
