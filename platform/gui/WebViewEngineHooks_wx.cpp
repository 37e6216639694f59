// WebViewEngine: the engine's signals that reach the hooks (context menu, script dialogs,
// window close, link hover).
#include "platform/gui/WebViewEngineImpl_wx.h"

namespace ql::web {

gboolean WebViewEngine::Impl::OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent* event,
                                            WebKitHitTestResult* hit, gpointer p)
{
    WebViewEngine* e = static_cast<Impl*>(p)->self;
    if (!e->OnContextMenu)
        return FALSE;
    ContextMenuRequest r;
    r.editable = webkit_hit_test_result_context_is_editable(hit);
    r.image = webkit_hit_test_result_context_is_image(hit);
    r.link = webkit_hit_test_result_context_is_link(hit);
    r.selection = webkit_hit_test_result_context_is_selection(hit);
    gdouble x = 0, y = 0;
    if (event && gdk_event_get_root_coords(event, &x, &y)) {
        r.screenX = static_cast<int>(x);
        r.screenY = static_cast<int>(y);
    }
    bool handled = false;
    Guarded([&] { handled = e->OnContextMenu(r); });
    return handled ? TRUE : FALSE;
}

gboolean WebViewEngine::Impl::OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer p)
{
    WebViewEngine* e = static_cast<Impl*>(p)->self;
    if (!e->OnScriptDialog)
        return FALSE;
    ScriptDialogRequest r;
    switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_ALERT:
        r.kind = ScriptDialogKind::Alert;
        break;
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
        r.kind = ScriptDialogKind::Confirm;
        break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
        r.kind = ScriptDialogKind::Prompt;
        break;
    default:
        r.kind = ScriptDialogKind::BeforeUnload;
        break;
    }
    if (const char* m = webkit_script_dialog_get_message(dialog))
        r.message = m;
    std::optional<bool> answer;
    Guarded([&] { answer = e->OnScriptDialog(r); });
    if (!answer)
        return FALSE;
    if (r.kind == ScriptDialogKind::Confirm || r.kind == ScriptDialogKind::BeforeUnload)
        webkit_script_dialog_confirm_set_confirmed(dialog, *answer);
    return TRUE;
}

void WebViewEngine::Impl::OnClose(WebKitWebView*, gpointer p)
{
    WebViewEngine* e = static_cast<Impl*>(p)->self;
    if (e->OnClose)
        Guarded([&] { e->OnClose(); });
}

void WebViewEngine::Impl::OnMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer p)
{
    WebViewEngine* e = static_cast<Impl*>(p)->self;
    if (!e->OnHoverLink)
        return;
    std::string link;
    if (webkit_hit_test_result_context_is_link(hit))
        if (const char* u = webkit_hit_test_result_get_link_uri(hit))
            link = u;
    Guarded([&] { e->OnHoverLink(link); });
}

}  // namespace ql::web
