#include "platform/gui/EngineWait.h"

#include <gtest/gtest.h>
#include <string>

namespace ql::web {
namespace {

TEST(EngineWait, UserInputAndTheCloseButtonAreHeldIdleIsSkippedTheRestGoesOn)
{
    for (WaitEventKind input : {WaitEventKind::Key, WaitEventKind::Button, WaitEventKind::Motion, WaitEventKind::Scroll,
                                WaitEventKind::Touch, WaitEventKind::CloseRequest})
        EXPECT_EQ(DecideDuringWait(input), DuringWait::HoldBack) << static_cast<int>(input);
    EXPECT_EQ(DecideDuringWait(WaitEventKind::Idle), DuringWait::Skip);
    // Drawing and the engine's own traffic: without them the answer never comes.
    EXPECT_EQ(DecideDuringWait(WaitEventKind::Other), DuringWait::HandOn);
}

TEST(EngineWait, NestedWaitsShareTheOutermostHoldWhichHandsOnEverythingInOrderAtItsEnd)
{
    EventHold<std::string> hold;
    EXPECT_FALSE(hold.Holding());
    EXPECT_TRUE(hold.Enter());  // the outermost starts the hold
    hold.Keep("a");
    EXPECT_FALSE(hold.Enter());  // a wait from a handler run during the first
    hold.Keep("b");
    EXPECT_FALSE(hold.Leave());  // the inner end hands nothing on: the outer still waits
    EXPECT_TRUE(hold.Holding());
    hold.Keep("c");
    EXPECT_TRUE(hold.Leave());
    EXPECT_FALSE(hold.Holding());
    EXPECT_EQ(hold.Release(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(hold.Release().empty());
    // An unbalanced end starts nothing and leaves the next wait the outermost.
    EXPECT_FALSE(hold.Leave());
    EXPECT_TRUE(hold.Enter());
}

TEST(EngineWait, TheAnswerEndsTheWaitAndATimerFiringWithItCancelsNothing)
{
    AnswerWait wait;
    EXPECT_TRUE(wait.Waiting());
    wait.Answered();
    EXPECT_FALSE(wait.Waiting());
    EXPECT_TRUE(wait.HasAnswer());
    EXPECT_TRUE(wait.TimerPending());  // the caller removes it
    // The answer and the time limit in one pass of the loop: the answer stands.
    EXPECT_FALSE(wait.TimeUp());
    EXPECT_FALSE(wait.TimerPending());
    EXPECT_TRUE(wait.HasAnswer());
}

TEST(EngineWait, TimeUpWithoutAnswerEndsTheWaitAndCancelsTheRequest)
{
    AnswerWait wait;
    EXPECT_TRUE(wait.TimeUp());
    EXPECT_FALSE(wait.Waiting());
    EXPECT_FALSE(wait.HasAnswer());
    EXPECT_FALSE(wait.TimerPending());  // it removed itself
}

TEST(EngineWait, ScriptCallEndsByItsAnswerOrEndsTheHungProcessOnlyWhileTheViewLives)
{
    auto decide = [](bool answered, bool ok, bool endHung, bool live) {
        return DecideAfterScriptWait({answered, ok, endHung, live});
    };
    EXPECT_EQ(decide(true, true, true, true), AfterScriptWait::TakeResult);
    // An answer that came although the view went during the wait is still the answer.
    EXPECT_EQ(decide(true, true, true, false), AfterScriptWait::TakeResult);
    EXPECT_EQ(decide(true, false, true, true), AfterScriptWait::Fail);  // a script error: nothing hangs
    EXPECT_EQ(decide(false, false, true, true), AfterScriptWait::EndHungProcess);
    EXPECT_EQ(decide(false, false, false, true), AfterScriptWait::Fail);  // unsaved work keeps its process
    EXPECT_EQ(decide(false, false, true, false), AfterScriptWait::Fail);  // the view went during the wait
}

}  // namespace
}  // namespace ql::web
