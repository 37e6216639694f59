#pragma once
// Owns a GUI test's top-level window. However the test ends (a failed ASSERT returns early), the
// window is destroyed and the toolkit runs until it is really gone: a window left on the screen
// would lie under the next test's pointer and take its keyboard. The toolkit itself deletes a
// destroyed window only when it next goes idle, and keeps the last shown one on the screen
// until then.
#include <gdk/gdk.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/weakref.h>

#include <chrono>

namespace ql::test {

template <class W = wxFrame>
class OwnedFrame {
public:
    OwnedFrame() = default;
    explicit OwnedFrame(W* window) : window_(window) {}
    ~OwnedFrame() { reset(); }
    OwnedFrame(const OwnedFrame&) = delete;
    OwnedFrame& operator=(const OwnedFrame&) = delete;

    W* get() const { return window_.get(); }
    W* operator->() const { return window_.get(); }
    operator W*() const { return window_.get(); }

    // Destroys the window held, unless the test already did, and waits until it is deleted;
    // then holds `next`.
    void reset(W* next = nullptr)
    {
        if (W* window = window_.get()) {
            window->Destroy();
            // Going idle deletes it before any event queued for it is handled: at the end of a
            // test, what its handlers use may be gone already.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (window_ && std::chrono::steady_clock::now() < deadline) {
                wxTheApp->ProcessIdle();
                if (window_)
                    g_main_context_iteration(nullptr, FALSE);
            }
            if (window_)
                ADD_FAILURE() << "the test's window was not deleted";
            else
                gdk_display_sync(gdk_display_get_default());  // and the X server has taken it off the screen
        }
        window_ = next;
    }

private:
    wxWeakRef<W> window_;
};

}  // namespace ql::test
