// WebViewEngine: making the engine on a new web view, connecting its signals, and applying the
// settings.
#include "platform/gui/WebViewEngineImpl_wx.h"

namespace ql::web {

void WebViewEngine::Impl::OnDestroy(GtkWidget*, gpointer p) { static_cast<Impl*>(p)->viewGone = true; }

WebViewEngine::WebViewEngine(std::unique_ptr<Impl> impl) : d_(std::move(impl)) { d_->self = this; }

std::shared_ptr<WebViewEngine> WebViewEngine::Create(wxWindow* parent, std::string* error)
{
    auto fail = [&](const char* why) {
        if (error)
            *error = why;
        return nullptr;
    };
    if (!parent)
        return fail("no parent window");
    if (!wxWebView::IsBackendAvailable(wxWebViewBackendWebKit))
        return fail("the WebKit web view is not available");
    wxWebView* view = wxWebView::New(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                                     wxWebViewBackendWebKit);
    if (!view)
        return fail("the web view could not be created");
    auto* native = static_cast<WebKitWebView*>(view->GetNativeBackend());
    if (!native || !WEBKIT_IS_WEB_VIEW(native)) {
        view->Destroy();
        return fail("the web view has no WebKit backend");
    }
    auto d = std::make_unique<Impl>();
    d->view = view;
    d->native = WEBKIT_WEB_VIEW(g_object_ref(native));
    d->content = webkit_web_view_get_user_content_manager(native);
    WebKitSettings* s = webkit_web_view_get_settings(native);
    if (const char* ua = webkit_settings_get_user_agent(s))
        d->baseUserAgent = ua;
    // Pages the program writes are UTF-8 unless they say otherwise.
    webkit_settings_set_default_charset(s, "UTF-8");
    d->initialLoadDone = !webkit_web_view_is_loading(native);
    std::shared_ptr<WebViewEngine> engine(new WebViewEngine(std::move(d)));
    Impl* p = engine->d_.get();
    auto connect = [&](const char* signal, GCallback cb) {
        p->viewHandlers.push_back(g_signal_connect(p->native, signal, cb, p));
    };
    connect("destroy", G_CALLBACK(&Impl::OnDestroy));
    connect("load-changed", G_CALLBACK(&Impl::OnLoadChanged));
    connect("load-failed", G_CALLBACK(&Impl::OnLoadFailed));
    connect("context-menu", G_CALLBACK(&Impl::OnContextMenu));
    connect("script-dialog", G_CALLBACK(&Impl::OnScriptDialog));
    connect("close", G_CALLBACK(&Impl::OnClose));
    connect("web-process-terminated", G_CALLBACK(&Impl::OnProcessGone));
    connect("decide-policy", G_CALLBACK(&Impl::OnDecidePolicy));
    connect("mouse-target-changed", G_CALLBACK(&Impl::OnMouseTarget));
    std::weak_ptr<WebViewEngine> weak = engine;
    if (!p->initialLoadDone) {
        // Should the view's own page never report its end, our loads go ahead after a while.
        g_timeout_add_seconds(
            3,
            [](gpointer data) -> gboolean {
                std::unique_ptr<std::weak_ptr<WebViewEngine>> w(static_cast<std::weak_ptr<WebViewEngine>*>(data));
                if (auto e = w->lock(); e && !e->d_->initialLoadDone) {
                    e->d_->initialLoadDone = true;
                    if (auto load = std::move(e->d_->deferredLoad))
                        load();
                }
                return G_SOURCE_REMOVE;
            },
            new std::weak_ptr<WebViewEngine>(weak));
    }
    // New-window requests come through the view's own event (it answers them itself).
    view->Bind(wxEVT_WEBVIEW_NEWWINDOW, [weak](wxWebViewEvent& ev) {
        auto e = weak.lock();
        if (!e || !e->OnNavigation)
            return;
        NavigationRequest r;
        r.url = ev.GetURL().utf8_string();
        r.newWindow = true;
        Guarded([&] { e->OnNavigation(r); });
    });
    return engine;
}

WebViewEngine::~WebViewEngine()
{
    if (d_->findDialog)
        d_->findDialog->Destroy();
    if (d_->native) {
        for (gulong id : d_->viewHandlers)
            g_signal_handler_disconnect(d_->native, id);
        if (d_->messageHandler && d_->content)
            g_signal_handler_disconnect(d_->content, d_->messageHandler);
        if (d_->externalHandler && d_->content)
            g_signal_handler_disconnect(d_->content, d_->externalHandler);
        if (d_->servesPages)
            g_object_set_data(G_OBJECT(d_->native), kEngineKey, nullptr);
        g_object_unref(d_->native);
    }
    if (d_->replyContext)
        g_object_unref(d_->replyContext);
}

wxWebView* WebViewEngine::View() const { return d_->view; }

WebKitWebView* WebViewEngine::Native() const { return d_->Live() ? d_->native : nullptr; }

void WebViewEngine::Apply(const WebEngineSettings& settings)
{
    if (!d_->Live())
        return;
    WebKitSettings* s = webkit_web_view_get_settings(d_->native);
    webkit_settings_set_enable_javascript(s, TRUE);  // our own scripts need it
    webkit_settings_set_enable_javascript_markup(s, settings.pageScripts);
    webkit_settings_set_auto_load_images(s, settings.loadImages);
    webkit_settings_set_enable_media(s, settings.media);
    webkit_settings_set_user_agent(s, ComposeUserAgent(d_->baseUserAgent, settings.userAgentToken).c_str());
    webkit_user_content_manager_remove_all_style_sheets(d_->content);
    std::string css;
    if (!settings.textSelection)
        css += "*{-webkit-user-select:none !important;user-select:none !important}";
    if (!settings.scrollbars)
        css += "html,body{overflow:hidden !important}";
    if (!css.empty()) {
        WebKitUserStyleSheet* sheet = webkit_user_style_sheet_new(css.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                                                  WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
        webkit_user_content_manager_add_style_sheet(d_->content, sheet);
        webkit_user_style_sheet_unref(sheet);
    }
}

void WebViewEngine::SetEditable(bool editable)
{
    if (d_->Live())
        webkit_web_view_set_editable(d_->native, editable);
}

}  // namespace ql::web
