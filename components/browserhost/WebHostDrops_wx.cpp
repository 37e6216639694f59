// Drags over the view: the first motion of each drag asks GetDropTarget whether the host has a
// drop target of its own. One it gives takes that drag from its next motion on, and every drag
// after it, for the host's life; without one the engine handles the drag itself. The engine's
// own drop handling is no object of ours, so none is offered to the host to wrap.
#include "components/browserhost/WebHost_wx.h"

#include "platform/gui/DragBridge_wx.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <gtk/gtk.h>
#include <wx/webview.h>

namespace ql {

void TWebHost::WatchDrags()
{
    WebKitWebView* view = engine_->Native();
    if (!view)
        return;
    // Connected before the host's target could be: this runs ahead of it and of the engine.
    g_signal_connect(
        view, "drag-motion",
        G_CALLBACK(+[](GtkWidget*, GdkDragContext* context, gint, gint, guint time, gpointer p) -> gboolean {
            if (!static_cast<TWebHost*>(p)->DragArrived(context))
                return FALSE;
            gdk_drag_status(context, static_cast<GdkDragAction>(0), time);
            return TRUE;  // this motion goes nowhere; the next one to the host's target
        }),
        this);
    g_signal_connect(view, "drag-leave", G_CALLBACK(+[](GtkWidget*, GdkDragContext*, guint, gpointer p) {
                         static_cast<TWebHost*>(p)->askedForDrag_ = nullptr;
                     }),
                     this);
}

void TWebHost::UnwatchDrags()
{
    if (!engine_ || !engine_->Native())
        return;
    if (hostDropTarget_)
        RevokeDragDrop(engine_->View(), GTK_WIDGET(engine_->Native()));
    hostDropTarget_ = false;
}

bool TWebHost::DragArrived(void* dragContext)
{
    if (hostDropTarget_ || dragContext == askedForDrag_)
        return false;
    askedForDrag_ = dragContext;
    com::ComPtr<com::IDropTarget> target;
    if (TWebHostCore::GetDropTarget(nullptr, target.put()) != com::S_OK || !target)
        return false;
    hostDropTarget_ = RegisterDragDrop(engine_->View(), GTK_WIDGET(engine_->Native()), target.get()) == com::S_OK;
    return hostDropTarget_;
}

}  // namespace ql
