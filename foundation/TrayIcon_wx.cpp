#include "foundation/TrayIcon_wx.h"

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/taskbar.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include <gtk/gtk.h>

namespace ql {

namespace {

wxIcon ToWxIcon(const TIcon& icon)
{
    if (icon.Empty() || icon.Rgba.size() != static_cast<std::size_t>(icon.Width) * icon.Height * 4)
        return wxIcon();
    wxImage image(icon.Width, icon.Height);
    image.InitAlpha();
    unsigned char* rgb = image.GetData();
    unsigned char* alpha = image.GetAlpha();
    for (std::size_t i = 0, n = static_cast<std::size_t>(icon.Width) * icon.Height; i < n; ++i) {
        rgb[3 * i] = icon.Rgba[4 * i];
        rgb[3 * i + 1] = icon.Rgba[4 * i + 1];
        rgb[3 * i + 2] = icon.Rgba[4 * i + 2];
        alpha[i] = icon.Rgba[4 * i + 3];
    }
    wxIcon out;
    out.CopyFromBitmap(wxBitmap(image));
    return out;
}

// The desktop's double-click time (GtkSettings "gtk-double-click-time"), read at every click.
int DesktopDoubleClickMs()
{
    gint ms = 400;
    if (GtkSettings* settings = gtk_settings_get_default())
        g_object_get(settings, "gtk-double-click-time", &ms, nullptr);
    return ms;
}

// When the click being handled was made: the display server's time of its event; the
// monotonic clock for an activation that came without one.
std::uint32_t ClickTimeMs()
{
    if (const guint32 at = gtk_get_current_event_time(); at != GDK_CURRENT_TIME)
        return at;
    return static_cast<std::uint32_t>(g_get_monotonic_time() / 1000);
}

// The hidden window: the taskbar icon object receives the desktop's mouse events.
class TaskBarIcon : public wxTaskBarIcon {
public:
    std::function<void(std::uint32_t, std::uint32_t)> proc;

    TaskBarIcon()
    {
        // GTK reports every left click as one activation, never a double click, and a right
        // click (or the menu key) as the request for the icon's menu.
        Bind(wxEVT_TASKBAR_LEFT_DOWN, [this](wxTaskBarIconEvent&) {
            for (std::uint32_t m : clicks_.Click(ClickTimeMs()))
                Send(kTrayCallbackMessage, m);
        });
        Bind(wxEVT_TASKBAR_CLICK, [this](wxTaskBarIconEvent&) { Send(kTrayCallbackMessage, WM_RBUTTONUP); });
    }
    void Send(std::uint32_t message, std::uint32_t lParam)
    {
        if (proc)
            proc(message, lParam);
    }

private:
    TrayClickPairing clicks_{DesktopDoubleClickMs};
};

class WxTrayShell : public TrayShell {
public:
    WxTrayShell() : icon_(std::make_unique<TaskBarIcon>()) {}
    ~WxTrayShell() override
    {
        icon_->RemoveIcon();
        icon_->proc = nullptr;
    }

    void Attach(std::function<void(std::uint32_t, std::uint32_t)> windowProc) override
    {
        icon_->proc = std::move(windowProc);
    }

    bool NotifyIcon(std::uint32_t operation, const NotifyIconData& data) override
    {
        if (operation == NIM_DELETE) {
            shown_ = false;
            return icon_->RemoveIcon();
        }
        if (operation == NIM_MODIFY && !shown_)
            return false;  // nothing to modify: the add failed or was never made
        wxIcon icon = ToWxIcon(data.hIcon);
        if (!icon.IsOk()) {
            // The desktop shows no entry without a picture; a blank one stands in until the
            // real icon arrives.
            icon = ToWxIcon(TIcon{16, 16, std::vector<std::uint8_t>(16 * 16 * 4, 0)});
        }
        bool ok = icon_->SetIcon(icon, wxString::FromUTF8(data.szTip));
        shown_ = ok || shown_;
        return ok;
    }

    void PostMessage(std::uint32_t message) override
    {
        wxWeakRef<TaskBarIcon> target(icon_.get());
        icon_->CallAfter([target, message] {
            if (target)
                target->Send(message, 0);
        });
    }

    TPoint CursorPos() override
    {
        wxPoint p = wxGetMousePosition();
        return TPoint{p.x, p.y};
    }

    void PrepareForPopup() override
    {
        if (wxTheApp)
            wxTheApp->ProcessPendingEvents();
    }

    void PopupMenu(TrayMenu& menu, TPoint) override
    {
        // wx opens the menu at the pointer, which is where the click was.
        if (auto* m = dynamic_cast<WxTrayMenu*>(&menu); m && m->Menu)
            icon_->PopupMenu(m->Menu);
    }

private:
    std::unique_ptr<TaskBarIcon> icon_;
    bool shown_ = false;
};

}  // namespace

bool TrayAvailable() { return wxTaskBarIcon::IsAvailable(); }

std::unique_ptr<TrayShell> MakeWxTrayShell() { return std::make_unique<WxTrayShell>(); }

}  // namespace ql
