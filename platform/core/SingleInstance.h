#pragma once
// The program's single-instance lock: a named lock that one process at a time holds, as an
// flock on "<name>.lock" in the runtime folder. The kernel frees it when the holder ends, also
// when it crashes, so a dead instance never blocks the next start.
#include <string>

namespace ql {

class SingleInstanceLock {
public:
    enum class State {
        Acquired,       // this process holds the lock until the object goes
        HeldElsewhere,  // another running process holds it
        Unavailable,    // the lock can be neither taken nor checked: Problem() says why
    };

    explicit SingleInstanceLock(const std::string& name = "thGleanhoard");
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    State state() const { return state_; }
    bool AnotherInstanceRuns() const { return state_ == State::HeldElsewhere; }
    // While Unavailable, or after a failed Renew: which folder or file is wrong and why, as one
    // sentence for the user.
    const std::string& Problem() const { return problem_; }

    // The lock file can be removed from under its holder (a cleaner of old files, a user
    // emptying the runtime folder): the next start would take a lock of its own there. While
    // Acquired, makes the file again where it went and takes its lock; false when that failed or
    // another start has taken it meanwhile (Problem() says so).
    [[nodiscard]] bool Renew();

private:
    std::string name_;
    int fd_ = -1;
    State state_ = State::Unavailable;
    std::string problem_;
};

}  // namespace ql
