#pragma once
// The window and keyboard helpers of VekBaseClass.
class wxTopLevelWindow;

namespace ql {

// Puts the window into (on) or out of (off) the stay-on-top band, without moving, resizing or
// activating it. False for no window.
bool SetTopMost(wxTopLevelWindow* window, bool on);
// True while the key (a wx key code: 'A', WXK_SHIFT, WXK_CONTROL ...) is down.
bool IsKeyDown(int keyCode);

}  // namespace ql
