#pragma once
// Window placement in the registry, registration of our component libraries, the search of the
// shared find dialog, and what decides them; the wx side is in VekAdvClass_wx.h.
#include "foundation/Dialogs.h"
#include "platform/core/Registry.h"

#include <optional>
#include <string>
#include <vector>

namespace ql {

struct FormRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const FormRect&) const = default;
};

struct FormPlacement {
    FormRect Bounds;  // of the normal (not maximised) window
    bool Max = false;
};

// The key of the editor window's placement under HKEY_CURRENT_USER.
inline constexpr const char* kFormPosKey = "\\Software\\Tessaly\\Pouchly\\FormPos";

// Opens `key` under HKEY_CURRENT_USER (creating it), records `current` for each of "Left", "Top",
// "Width", "Height" that is missing (or not a DWORD) and "Max" = 0 when missing, then reads the
// five values back. Values that cannot be read keep `current` and false. `recorded`, when
// given, tells whether a bound was missing and `current` was written for it.
FormPlacement ReadFormPlacement(Registry& registry, const std::string& key, const FormRect& current,
                                bool* recorded = nullptr);
// Writes "Max", then the four bounds, as signed DWORDs. False when the store could not be saved.
[[nodiscard]] bool WriteFormPlacement(Registry& registry, const std::string& key, const FormPlacement& placement);

// The seeded first bounds: Left 20, Top 75, 6/7 of the screen's width and 5/6 of its height.
FormRect SeedFormBounds(int screenWidth, int screenHeight);

// Restored windows stay on a visible display: bounds wholly inside the union of `displays` are
// kept; otherwise the window is moved (and shrunk where needed) onto the display it overlaps
// most, or the nearest one. Sizes are at least 100 x 60 where the display allows. No displays:
// the bounds are kept.
FormRect KeepOnDisplays(const FormRect& bounds, const std::vector<FormRect>& displays);

// Follows a window's moves and resizes to know its normal bounds while it is maximised. The
// toolkit may report a maximise's new size before or after its state change: a size reported
// as normal just before the state change counts only when the window grows after it.
class NormalBoundsTracker {
public:
    explicit NormalBoundsTracker(const FormRect& normal) : normal_(normal), previous_(normal) {}
    // The window moved or changed size; `maximised` is its state as known at that moment.
    void Changed(const FormRect& bounds, bool maximised);
    // The window has just been maximised; `bounds` are its bounds at that moment.
    void Maximised(const FormRect& bounds);
    // The normal bounds (meant for a maximised window; a normal one has its own bounds).
    FormRect Normal() const;

private:
    FormRect normal_;
    FormRect previous_;
    std::optional<FormRect> maximisedAt_;
    bool grewAfterMaximise_ = false;
};

// A form's placement from its loading to its saving. A reparenting window manager frames a
// window only once it is mapped: bounds set before that are taken for the window without its
// frame, which then comes out larger by the frame, placed where the manager likes. So the
// loaded placement is applied again when the form first shows on the screen, and until then
// it is what a save stores (a form never shown keeps its placement exactly).
class FormPlacementFollower {
public:
    // `stored`: the placement was read from the store. A placement just recorded from the form
    // (the first run) is only what the toolkit made of the designed size before any frame: the
    // form then keeps the bounds it gets at its first show.
    explicit FormPlacementFollower(const FormPlacement& loaded, bool stored = true)
        : loaded_(loaded), stored_(stored), tracker_(loaded.Bounds)
    {
    }
    // Not on the screen since the placement was loaded.
    bool Pending() const { return pending_; }
    // The form is on the screen now, with `bounds`: the placement to apply to it, the first
    // time only.
    std::optional<FormPlacement> Mapped(const FormRect& bounds);
    // The form moved, changed size or was maximised while on the screen (not minimised). While
    // pending these are the toolkit's own steps towards the first show, and are passed over.
    void Changed(const FormRect& bounds, bool maximised);
    void Maximised(const FormRect& bounds);
    // What to store. While pending, the loaded placement; else the normal bounds and the state
    // of the form when last on the screen, or `now` (its bounds and state) when it is there.
    FormPlacement ToSave(const std::optional<FormPlacement>& now) const;

private:
    FormPlacement loaded_;
    bool stored_;
    bool pending_ = true;
    bool maximised_ = false;
    NormalBoundsTracker tracker_;
};

// Loads the shared library `fileName` (one of our components) and calls its "DllRegisterServer"
// (or, unregistering, "DllUnregisterServer"). True only when the entry point was found and
// reported success. With showMessages, tells the user: "File Not Exists: <file>", "Failed At:
// <file>", or "Register \"<file>\" Success!" / "UnRegister \"<file>\" Success!".
bool RegisterComServer(const std::string& fileName, bool reg, bool showMessages, Dialogs& dialogs);

// The find dialog's search: forward from the end of the selection [selStart, selEnd) (from the
// start when the selection is empty) for `what`. Whole words are bounded by characters that are
// not letters, digits or '_'. The position of the match, or nullopt.
std::optional<long> FindNextMatch(const std::wstring& text, const std::wstring& what, long selStart, long selEnd,
                                  bool matchCase, bool wholeWord);

}  // namespace ql
