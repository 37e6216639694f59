#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "components/shell/ControlLiveness.h"

using namespace ql::shellctl;

namespace {

TEST(ControlLiveness, WrappedCallsRunOnlyWhileTheControlLives)
{
    int runs = 0;
    std::function<void(int)> call;
    std::function<void()> afterDeath;
    {
        TControlLiveness liveness;
        call = liveness.WhileAlive([&](int n) { runs += n; });
        call(2);
        EXPECT_EQ(runs, 2);
        auto copy = call;  // as a poster copies it on the watching thread
        liveness.End();
        EXPECT_FALSE(liveness.Alive());
        copy(5);
        call(5);
        EXPECT_EQ(runs, 2);
    }
    {
        auto liveness = std::make_unique<TControlLiveness>();
        afterDeath = liveness->WhileAlive([&] { ++runs; });
        liveness.reset();  // gone without End: its calls are dead too
    }
    afterDeath();
    EXPECT_EQ(runs, 2);
}

}  // namespace
