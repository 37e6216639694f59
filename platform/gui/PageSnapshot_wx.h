#pragma once
// A page rendered to a picture by our web engine (the desktop wallpaper is made this way): the
// page is laid out in an off-screen view of the given size and its visible part written as PNG.
#include <functional>
#include <memory>
#include <string>

namespace ql::web {

class PageSnapshot {
public:
    using Done = std::function<void(bool ok)>;
    // Starts rendering `pageFile` into `pngFile` at width x height pixels; `done` runs on the GUI
    // thread once the picture is written (true) or rendering failed (false), and never after
    // the PageSnapshot was destroyed.
    static std::unique_ptr<PageSnapshot> Start(const std::string& pageFile, const std::string& pngFile, int width,
                                               int height, Done done);
    ~PageSnapshot();
    PageSnapshot(const PageSnapshot&) = delete;
    PageSnapshot& operator=(const PageSnapshot&) = delete;

private:
    struct Impl;
    explicit PageSnapshot(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d_;
};

}  // namespace ql::web
