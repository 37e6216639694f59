#pragma once
// A control's hint shown after the application's hint pause: the desktop's own tooltips keep
// a fixed delay of their own, so the zone picture's hint is shown here once the pointer has
// rested on it that long. It goes when the pointer leaves or a button goes down.
#include <wx/event.h>
#include <wx/popupwin.h>
#include <wx/string.h>
#include <wx/timer.h>
#include <wx/weakref.h>

class wxWindow;

namespace ql {

class PausedHint {
public:
    explicit PausedHint(wxWindow* control);
    ~PausedHint();
    PausedHint(const PausedHint&) = delete;
    PausedHint& operator=(const PausedHint&) = delete;

    void SetText(const wxString& text) { text_ = text; }
    void SetPause(int milliseconds) { pauseMs_ = milliseconds; }
    bool Showing() const { return tip_ && tip_->IsShown(); }

private:
    template <class F>
    static void ForEachMouseEvent(F f)
    {
        f(wxEVT_ENTER_WINDOW), f(wxEVT_MOTION), f(wxEVT_LEAVE_WINDOW), f(wxEVT_LEFT_DOWN), f(wxEVT_RIGHT_DOWN),
            f(wxEVT_MIDDLE_DOWN);
    }
    void OnMouse(wxMouseEvent& e);
    void Rested();
    void Hide();

    wxWindow* control_;
    wxString text_;
    int pauseMs_ = 500;
    wxTimer timer_;
    // A plain popup: it takes neither the pointer nor the focus, so clicks and drags still reach
    // the control under it.
    wxWeakRef<wxPopupWindow> tip_;
};

}  // namespace ql
