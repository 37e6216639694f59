#include "foundation/TrayIcon.h"

#include "platform/core/ErrorLog.h"
#include "platform/core/TextEncoding.h"

#include <algorithm>

namespace ql {

TTrayIcon::TTrayIcon(std::unique_ptr<TrayShell> shell) : shell_(std::move(shell))
{
    shell_->Attach([this](std::uint32_t message, std::uint32_t lParam) { WndProc(message, lParam); });
}

TTrayIcon::~TTrayIcon()
{
    if (Active_)
        Delete();
    shell_->Attach(nullptr);
}

NotifyIconData TTrayIcon::NotifyData() const
{
    NotifyIconData d;
    d.hIcon = Icon_;
    d.szTip = ToolTip_;
    return d;
}

void TTrayIcon::Add()
{
    shell_->NotifyIcon(NIM_ADD, NotifyData());
    // While a form loads, the icon is switched on before its tooltip arrives; apply the
    // tooltip once more when the event loop runs.
    if (ToolTip_.empty())
        shell_->PostMessage(kTrayTipMessage);
}

void TTrayIcon::Modify()
{
    if (Active_)
        shell_->NotifyIcon(NIM_MODIFY, NotifyData());
}

void TTrayIcon::Delete() { shell_->NotifyIcon(NIM_DELETE, NotifyData()); }

void TTrayIcon::SetActive(bool value)
{
    if (value == Active_)
        return;
    Active_ = value;
    if (value)
        Add();
    else
        Delete();
}

void TTrayIcon::SetIcon(const TIcon& value)
{
    if (value == Icon_)
        return;
    Icon_ = value;
    Modify();
}

void TTrayIcon::SetToolTip(const std::string& value)
{
    ToolTip_ = Utf8PrefixChars(value, kTrayTipChars);
    Modify();
}

TrayClickPairing::TrayClickPairing(std::function<int()> doubleClickMs) : doubleClickMs_(std::move(doubleClickMs)) {}

std::vector<std::uint32_t> TrayClickPairing::Click(std::uint32_t at)
{
    // Unsigned, so a pair across the server clock's wrap is measured right; a click stamped
    // before the first one comes out huge and pairs nothing.
    const std::uint32_t since = at - firstAt_;
    if (pending_ && since <= static_cast<std::uint32_t>(std::max(doubleClickMs_(), 0))) {
        pending_ = false;
        return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    }
    pending_ = true;
    firstAt_ = at;
    return {WM_LBUTTONUP};
}

void TTrayIcon::RightClick()
{
    TPoint pt = shell_->CursorPos();
    if (PopupMenu) {
        shell_->PrepareForPopup();
        shell_->PopupMenu(*PopupMenu, pt);
    }
    if (OnRightClick)
        OnRightClick(this, TMouseButton::mbRight, 0, pt.X, pt.Y);
}

void TTrayIcon::WndProc(std::uint32_t message, std::uint32_t lParam)
{
    // A failing handler must not take the event loop down; the click is simply lost.
    GuardHandler("notification icon", [&] {
        if (message == kTrayTipMessage) {
            SetToolTip(ToolTip_);
            return;
        }
        if (message != kTrayCallbackMessage)
            return;
        switch (lParam) {
        case WM_LBUTTONUP:
            if (OnClick)
                OnClick(this);
            break;
        case WM_LBUTTONDBLCLK:
            if (OnDblClick)
                OnDblClick(this);
            break;
        case WM_RBUTTONUP:
            RightClick();
            break;
        default:
            break;
        }
    });
}

}  // namespace ql
