#pragma once
// Controls' hints shown after the application's hint pause. The desktop's own tool tips keep a
// fixed delay of their own (GTK 3 ignores the delay setting), so the program's hints are shown
// here once the pointer has rested on a control that long. A hint goes when the pointer leaves
// or a button goes down.
#include <wx/event.h>
#include <wx/popupwin.h>
#include <wx/string.h>
#include <wx/timer.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <functional>
#include <memory>
#include <vector>

namespace ql {

// The application's hint pause in milliseconds (500 until the program sets it), read whenever
// the pointer comes to rest.
int ApplicationHintPause();
void SetApplicationHintPause(int milliseconds);

class PausedHint {
public:
    explicit PausedHint(wxWindow* control);
    ~PausedHint();
    PausedHint(const PausedHint&) = delete;
    PausedHint& operator=(const PausedHint&) = delete;

    void SetText(const wxString& text) { text_ = text; }
    // For a control whose parts have hints of their own (a toolbar's tools): the hint at a
    // point of its client area; "" for none.
    void SetTextAt(std::function<wxString(const wxPoint&)> textAt) { textAt_ = std::move(textAt); }
    bool Showing() const { return tip_ && tip_->IsShown(); }
    const wxString& ShownText() const { return shown_; }

private:
    template <class F>
    static void ForEachMouseEvent(F f)
    {
        f(wxEVT_ENTER_WINDOW), f(wxEVT_MOTION), f(wxEVT_LEAVE_WINDOW), f(wxEVT_LEFT_DOWN), f(wxEVT_RIGHT_DOWN),
            f(wxEVT_MIDDLE_DOWN);
    }
    void OnMouse(wxMouseEvent& e);
    void OnUsed(wxCommandEvent& e);
    wxString TextAt(const wxPoint& screen) const;
    void Rested();
    void Hide();

    wxWeakRef<wxWindow> control_;  // a form may destroy its controls before their hints
    wxString text_;
    std::function<wxString(const wxPoint&)> textAt_;
    wxString shown_;
    wxTimer timer_;
    // A plain popup: it takes neither the pointer nor the focus, so clicks and drags still reach
    // the control under it.
    wxWeakRef<wxPopupWindow> tip_;
};

// The hints of a window's controls taken over from the desktop's tool tips: each control's
// tool tip, and each toolbar's tools' short help, become paused hints.
class PausedHints {
public:
    // Every control below `root` (itself included) that has a tool tip, and every toolbar.
    void TakeOver(wxWindow* root);
    // The hint showing now, or nullptr.
    const PausedHint* Showing() const;

private:
    std::vector<std::unique_ptr<PausedHint>> hints_;
};

}  // namespace ql
