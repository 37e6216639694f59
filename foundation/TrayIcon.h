#pragma once
// TTrayIcon shows an icon with a tooltip in the desktop's notification area and turns clicks on
// it into events: a left click, a double click, and a right click that pops up a menu. The
// desktop side is a port (wxTaskBarIcon in the program, a recording fake in tests).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ql {

// Messages of the icon's hidden window, and the mouse messages the desktop reports.
inline constexpr std::uint32_t WM_USER = 0x0400;
inline constexpr std::uint32_t kTrayCallbackMessage = WM_USER + 1;  // 1025: lParam is the mouse message
inline constexpr std::uint32_t kTrayTipMessage = WM_USER + 2;       // 1026: apply the tooltip again
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;

// Notification-area operations and the record each one carries.
inline constexpr std::uint32_t NIM_ADD = 0;
inline constexpr std::uint32_t NIM_MODIFY = 1;
inline constexpr std::uint32_t NIM_DELETE = 2;
inline constexpr std::uint32_t NIF_MESSAGE = 1;
inline constexpr std::uint32_t NIF_ICON = 2;
inline constexpr std::uint32_t NIF_TIP = 4;
inline constexpr std::size_t kTrayTipChars = 62;

// An icon image: RGBA pixels, top row first; empty when it has no pixels.
struct TIcon {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgba;
    bool Empty() const { return Width <= 0 || Height <= 0; }
    friend bool operator==(const TIcon&, const TIcon&) = default;
};

struct NotifyIconData {
    std::uint32_t uID = 0;
    std::uint32_t uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    std::uint32_t uCallbackMessage = kTrayCallbackMessage;
    TIcon hIcon;
    std::string szTip;
};

struct TPoint {
    int X = 0;
    int Y = 0;
};

// A menu the icon can pop up; the desktop side knows how to show its own kind.
class TrayMenu {
public:
    virtual ~TrayMenu() = default;
};

// The desktop side of the icon: its entry in the notification area and its hidden window.
class TrayShell {
public:
    virtual ~TrayShell() = default;
    // Routes the hidden window's messages (message, lParam) to the icon from now on.
    virtual void Attach(std::function<void(std::uint32_t, std::uint32_t)> windowProc) = 0;
    // NIM_ADD, NIM_MODIFY or NIM_DELETE; false when the desktop refused.
    virtual bool NotifyIcon(std::uint32_t operation, const NotifyIconData& data) = 0;
    // Queues a message to the hidden window; it arrives once the event loop runs.
    virtual void PostMessage(std::uint32_t message) = 0;
    virtual TPoint CursorPos() = 0;
    // Lets pending work run before a menu opens.
    virtual void PrepareForPopup() = 0;
    // Shows the menu at the point; returns when it has closed.
    virtual void PopupMenu(TrayMenu& menu, TPoint at) = 0;
};

// The desktop's icon reports single clicks only. Two clicks within the desktop's double-click
// time make a double click, reported as a notification area with double clicks does:
// WM_LBUTTONUP for the first click, then WM_LBUTTONDBLCLK and WM_LBUTTONUP for the second. A
// third click begins a new pair.
class TrayClickPairing {
public:
    // `doubleClickMs` is the desktop's double-click time, asked at every click so that a changed
    // setting counts at once.
    explicit TrayClickPairing(std::function<int()> doubleClickMs);
    // The callback messages (lParam values) for a click made at `atMs`: the click's own time, as
    // the display server stamps its events (milliseconds that wrap at 2^32), so that clicks
    // handled late still pair by when they were made.
    std::vector<std::uint32_t> Click(std::uint32_t atMs);

private:
    std::function<int()> doubleClickMs_;
    bool pending_ = false;  // a first click waits for its partner
    std::uint32_t firstAt_ = 0;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = std::uint8_t;  // empty for every event raised here

class TTrayIcon;
using TNotifyEvent = std::function<void(TTrayIcon* Sender)>;
using TMouseEvent = std::function<void(TTrayIcon* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

class TTrayIcon {
public:
    explicit TTrayIcon(std::unique_ptr<TrayShell> shell);
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    bool Active() const { return Active_; }
    void SetActive(bool value);
    const TIcon& Icon() const { return Icon_; }
    void SetIcon(const TIcon& value);
    const std::string& ToolTip() const { return ToolTip_; }
    // Keeps the first 62 characters (never half a character).
    void SetToolTip(const std::string& value);

    TrayMenu* PopupMenu = nullptr;  // not owned
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnRightClick;

    // The hidden window's message handler.
    void WndProc(std::uint32_t message, std::uint32_t lParam);
    // The record sent with every notification-area call.
    NotifyIconData NotifyData() const;

private:
    void Add();
    void Modify();
    void Delete();
    void RightClick();

    std::unique_ptr<TrayShell> shell_;
    bool Active_ = false;
    TIcon Icon_;
    std::string ToolTip_;
};

}  // namespace ql
