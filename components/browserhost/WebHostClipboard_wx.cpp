// What the engine puts on the clipboard goes through FilterDataObject: when the view's document
// is cut or copied from (the host's commands, or the user's keys in the view), the host may hand
// back a data object of its own, which then takes the clipboard's place.
#include "components/browserhost/WebHost_wx.h"

#include "platform/gui/ClipboardContent_wx.h"
#include "platform/gui/DragBridge_wx.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <gtk/gtk.h>
#include <wx/time.h>
#include <wx/webview.h>

namespace ql {

namespace {

// The engine puts the data on the clipboard a moment after the command; a change later than
// this is someone else's.
constexpr long long kCopyToClipboardMs = 2000;

}  // namespace

void TWebHost::WatchClipboard()
{
    clipboardHandler_ = g_signal_connect(
        gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "owner-change",
        G_CALLBACK(+[](GtkClipboard*, GdkEvent*, gpointer p) { static_cast<TWebHost*>(p)->ClipboardChanged(); }), this);
}

void TWebHost::UnwatchClipboard()
{
    if (clipboardHandler_)
        g_signal_handler_disconnect(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), clipboardHandler_);
    clipboardHandler_ = 0;
}

void TWebHost::DocumentCommandIssued(std::uint32_t cmdId)
{
    if (cmdId == com::OLECMDID_COPY || cmdId == com::OLECMDID_CUT)
        copyIssuedAt_ = wxGetUTCTimeMillis().GetValue();
}

void TWebHost::ClipboardChanged()
{
    if (std::exchange(ownClipboardChange_, false))
        return;
    const bool commanded = copyIssuedAt_ != 0 && wxGetUTCTimeMillis().GetValue() - copyIssuedAt_ < kCopyToClipboardMs;
    copyIssuedAt_ = 0;
    const bool typed = engine_ && engine_->Native() && gtk_widget_has_focus(GTK_WIDGET(engine_->Native()));
    if (!OnFilterDataObject || !(commanded || typed) || !ClipboardOwnedHere())
        return;  // without the event nothing would be replaced
    wxWeakRef<TWebHost> self(this);
    CallAfter([self] {
        if (self)
            self->FilterClipboard();
    });
}

void TWebHost::FilterClipboard()
{
    com::ComPtr<XDragDataObject> data = ClipboardContent();
    if (!data)
        return;
    com::ComPtr<com::IDataObject> replacement;
    if (FilterDataObject(data.get(), replacement.put()) == com::S_OK && replacement) {
        ownClipboardChange_ = true;
        if (!SetClipboardData(replacement.get()))
            ownClipboardChange_ = false;
    }
    data->EndDrop();
}

}  // namespace ql
