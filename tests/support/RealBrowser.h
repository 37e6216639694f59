#pragma once
// Debian's Chromium or Firefox ESR, started by a test as a user would have it on a desktop: a
// real window on the test's display, a fresh profile and its disk cache inside a private home
// folder, nothing reaching out to the network, and no first-run pages in the way.
#include <string>
#include <sys/types.h>

namespace ql::test {

class RealBrowser {
public:
    enum class Kind { Chromium, Firefox };

    // Starts the browser on `url` with HOME (and the XDG folders) at `home`, a folder that
    // holds nothing of another test.
    RealBrowser(Kind kind, const std::string& home, const std::string& url);
    ~RealBrowser();  // ends the browser and every process it started
    RealBrowser(const RealBrowser&) = delete;
    RealBrowser& operator=(const RealBrowser&) = delete;

    static const char* Name(Kind kind) { return kind == Kind::Chromium ? "Chromium" : "Firefox"; }
    static bool Installed(Kind kind);
    pid_t Pid() const { return pid_; }
    // The folder below which the browser keeps its disk cache.
    std::string CacheFolder() const;
    std::string Log() const;  // what it wrote to stdout and stderr

private:
    Kind kind_;
    std::string home_;
    pid_t pid_ = -1;
};

}  // namespace ql::test
