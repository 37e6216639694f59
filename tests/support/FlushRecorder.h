#pragma once
// Sees every flush to disk a test program makes: linked in, it stands in for fsync() (passing
// each call on to the kernel), so a test can check which files and folders were flushed, and in
// which state, without a disk that loses power. Only test programs that use it get it.
#include <functional>
#include <string>
#include <vector>

namespace ql::test {

struct Flush {
    bool folder = false;
    std::string path;  // what the descriptor named when it was flushed
};

// Records the flushes made while it exists; `during` (optional) runs inside each one, before
// the flush reaches the kernel.
class FlushRecorder {
public:
    explicit FlushRecorder(std::function<void(const Flush&)> during = {});
    ~FlushRecorder();
    FlushRecorder(const FlushRecorder&) = delete;
    FlushRecorder& operator=(const FlushRecorder&) = delete;
    const std::vector<Flush>& flushes() const { return flushes_; }
    // From now on flushes of folders fail with this error (0: they reach the kernel).
    void FailFolderFlushes(int error) { folderError_ = error; }

private:
    friend int RecordFlush(int fd);
    std::vector<Flush> flushes_;
    int folderError_ = 0;
    std::function<void(const Flush&)> during_;
};

}  // namespace ql::test
