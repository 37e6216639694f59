#pragma once
// The decisions of a wait for the web engine's answer. The engine answers through the main loop,
// so a caller that needs the answer at once runs that loop until it comes. Nothing of ours may
// run in between: a handler run from the loop could re-enter the caller or delete the window
// whose method waits. The user's input is therefore held back and handed on afterwards, in order;
// idle events are skipped (they come again); what the engine needs to answer goes on.
// EngineWait_wx.h applies these decisions to the toolkit.
#include <utility>
#include <vector>

namespace ql::web {

// What arrives while a wait runs, as far as the wait tells kinds apart.
enum class WaitEventKind {
    Key,     // a key pressed or released
    Button,  // a mouse button pressed (once, twice, three times) or released
    Motion,
    Scroll,
    Touch,
    CloseRequest,  // the window's close button
    Idle,          // the toolkit's idle and update-UI passes
    Other,         // drawing, focus, configuration, the engine's own traffic
};

enum class DuringWait {
    HandOn,    // handled now: the engine and the screen need it
    HoldBack,  // kept, and handed on in order when the outermost wait ends
    Skip,      // dropped: it comes again by itself
};

DuringWait DecideDuringWait(WaitEventKind kind);

// The hold over the toolkit's events while waits run. The toolkit has one event handler per
// process, so there is one hold too, and waits nest: one started from a handler that runs during
// another shares the outermost hold, and what it held is handed on only when the outermost ends.
template <class Event>
class EventHold {
public:
    // true when this wait is the outermost: the caller starts holding
    bool Enter() { return depth_++ == 0; }
    // true when the outermost wait ended: the caller stops holding and hands on Release()
    bool Leave() { return depth_ > 0 && --depth_ == 0; }
    bool Holding() const { return depth_ > 0; }
    void Keep(Event event) { held_.push_back(std::move(event)); }
    // What was held, oldest first; the hold keeps nothing after.
    std::vector<Event> Release() { return std::exchange(held_, {}); }

private:
    int depth_ = 0;
    std::vector<Event> held_;
};

// One wait for one answer, with its time limit. The wait ends at the answer or when the time is
// up, whichever comes first; a request whose time is up unanswered is cancelled.
class AnswerWait {
public:
    void Answered() { answered_ = true; }
    // The time limit passed: true when the request is to be cancelled (no answer yet).
    bool TimeUp()
    {
        timeUp_ = true;
        return !answered_;
    }
    bool Waiting() const { return !answered_ && !timeUp_; }
    bool HasAnswer() const { return answered_; }
    // Whether the time limit is still pending once the wait ended (the caller removes it).
    bool TimerPending() const { return !timeUp_; }

private:
    bool answered_ = false;
    bool timeUp_ = false;
};

// What a script call does once its wait ended.
enum class AfterScriptWait {
    TakeResult,      // the script answered with a value
    Fail,            // the script failed, or gave no answer where the process must stay
    EndHungProcess,  // no answer in time: the page's process is hung and is ended, the call fails
};

struct ScriptWaitEnd {
    bool answered = false;        // the engine answered before the time limit
    bool ok = false;              // with a value of ours (else a script error)
    bool endHungProcess = false;  // the engine's setting: end a page's process that hangs
    bool viewLive = false;        // the view still exists (it may go while the loop runs)
};

AfterScriptWait DecideAfterScriptWait(const ScriptWaitEnd& end);

}  // namespace ql::web
