// WebViewEngine: loads, the page scheme that serves page files without their scripts, and the
// navigation policy.
#include "platform/gui/PageScheme.h"
#include "platform/gui/WebViewEngineImpl_wx.h"

namespace ql::web {

void WebViewEngine::Impl::ServePage(WebKitURISchemeRequest* request, gpointer)
{
    const char* uriText = webkit_uri_scheme_request_get_uri(request);
    std::string uri = uriText ? uriText : "";
    uri = uri.substr(0, uri.find('#'));
    WebKitWebView* v = webkit_uri_scheme_request_get_web_view(request);
    auto* d = v ? static_cast<Impl*>(g_object_get_data(G_OBJECT(v), kEngineKey)) : nullptr;
    GInputStream* in = nullptr;
    gint64 length = -1;
    std::string type;
    if (d && d->pageOverride && d->pageOverride->first == uri) {
        std::string html = std::move(d->pageOverride->second);
        d->pageOverride.reset();
        length = static_cast<gint64>(html.size());
        GBytes* bytes = g_bytes_new(html.data(), html.size());
        in = g_memory_input_stream_new_from_bytes(bytes);
        g_bytes_unref(bytes);
        type = "text/html";
    } else {
        // Only views that asked for the scheme read files through it.
        std::string path = d ? PageSchemeUrlToPath(uri) : "";
        if (path.empty()) {
            GError* err = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "no such page");
            webkit_uri_scheme_request_finish_error(request, err);
            g_error_free(err);
            return;
        }
        GFile* file = g_file_new_for_path(path.c_str());
        GError* err = nullptr;
        GFileInputStream* fin = g_file_read(file, nullptr, &err);
        g_object_unref(file);
        if (!fin) {
            webkit_uri_scheme_request_finish_error(request, err);
            g_error_free(err);
            return;
        }
        if (GFileInfo* info = g_file_input_stream_query_info(fin, G_FILE_ATTRIBUTE_STANDARD_SIZE, nullptr, nullptr)) {
            length = g_file_info_get_size(info);
            g_object_unref(info);
        }
        gboolean uncertain = FALSE;
        gchar* guessed = g_content_type_guess(path.c_str(), nullptr, 0, &uncertain);
        gchar* mime = guessed ? g_content_type_get_mime_type(guessed) : nullptr;
        if (mime && !uncertain)
            type = mime;
        g_free(mime);
        g_free(guessed);
        in = G_INPUT_STREAM(fin);
    }
    WebKitURISchemeResponse* response = webkit_uri_scheme_response_new(in, length);
    if (!type.empty())
        webkit_uri_scheme_response_set_content_type(response, type.c_str());
    SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
    soup_message_headers_append(headers, "Content-Security-Policy", kPageSchemePolicy);
    webkit_uri_scheme_response_set_http_headers(response, headers);  // takes the headers
    webkit_uri_scheme_request_finish_with_response(request, response);
    g_object_unref(response);
    g_object_unref(in);
}

void WebViewEngine::Impl::OnLoadChanged(WebKitWebView*, WebKitLoadEvent ev, gpointer p)
{
    auto* d = static_cast<Impl*>(p);
    WebViewEngine* e = d->self;
    if (!d->initialLoadDone) {
        if (ev == WEBKIT_LOAD_FINISHED) {
            d->initialLoadDone = true;
            if (auto load = std::move(d->deferredLoad))
                load();
        }
        return;
    }
    if (ev == WEBKIT_LOAD_COMMITTED) {
        ++d->generation;
        // The engine's error page for a failed load is no document of ours.
        bool errorPage = d->loadFailed && e->Url() == d->failedUri;
        if (!errorPage) {
            d->loadFailed = false;
            if (d->navigationRequested)
                d->hasDocument = true;
        }
        if (e->OnCommitted)
            Guarded([&] { e->OnCommitted(); });
    } else if (ev == WEBKIT_LOAD_FINISHED) {
        d->gate.LoadEnded();
        if (e->OnLoaded)
            Guarded([&] { e->OnLoaded(e->Url()); });
    }
}

gboolean WebViewEngine::Impl::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer p)
{
    auto* d = static_cast<Impl*>(p);
    WebViewEngine* e = d->self;
    if (!d->initialLoadDone)
        return FALSE;
    // A load given up for another one, or a response handed elsewhere: what was there stays.
    if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
        g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE))
        return FALSE;
    d->loadFailed = true;
    d->failedUri = uri ? uri : "";
    d->hasDocument = false;
    ++d->generation;
    d->gate.LoadEnded();
    if (e->OnLoadFailed) {
        std::string why = error && error->message ? error->message : "the page could not be loaded";
        Guarded([&] { e->OnLoadFailed(d->failedUri, why); });
    }
    return e->showErrorPages ? FALSE : TRUE;
}

gboolean WebViewEngine::Impl::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                             WebKitPolicyDecisionType type, gpointer p)
{
    auto* d = static_cast<Impl*>(p);
    WebViewEngine* e = d->self;
    bool gated = d->gated && d->initialLoadDone;
    if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION || (!e->OnNavigation && !gated))
        return FALSE;
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    WebKitURIRequest* request = action ? webkit_navigation_action_get_request(action) : nullptr;
    NavigationRequest r;
    if (const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr)
        r.url = uri;
    if (gated && !d->gate.Decide(r.url, action && webkit_navigation_action_is_redirect(action))) {
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    if (!request || !e->OnNavigation)
        return FALSE;
    r.linkClick = webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED;
    NavigationVerdict v = NavigationVerdict::Allow;
    Guarded([&] { v = e->OnNavigation(r); });
    if (v != NavigationVerdict::Ignore)
        return FALSE;
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

void WebViewEngine::Impl::OnProcessGone(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer p)
{
    auto* d = static_cast<Impl*>(p);
    d->hasDocument = false;
    ++d->generation;
}

void WebViewEngine::ServePagesWithoutScripts()
{
    if (!d_->Live() || d_->servesPages)
        return;
    WebKitWebContext* context = webkit_web_view_get_context(d_->native);
    if (!g_object_get_data(G_OBJECT(context), kSchemeKey)) {
        webkit_web_context_register_uri_scheme(context, kPageScheme, &Impl::ServePage, nullptr, nullptr);
        // Like a file: its pages may show local pictures.
        webkit_security_manager_register_uri_scheme_as_local(webkit_web_context_get_security_manager(context),
                                                             kPageScheme);
        g_object_set_data(G_OBJECT(context), kSchemeKey, GINT_TO_POINTER(1));
    }
    g_object_set_data(G_OBJECT(d_->native), kEngineKey, d_.get());
    d_->servesPages = true;
}

void WebViewEngine::FollowOwnLoadsOnly() { d_->gated = true; }

void WebViewEngine::Load(const std::string& url)
{
    if (!d_->Live())
        return;
    d_->navigationRequested = true;
    if (!d_->initialLoadDone) {
        d_->deferredLoad = [this, url] { Load(url); };
        return;
    }
    std::string target = url;
    if (d_->servesPages) {
        std::string page = ToPageSchemeUrl(url);
        d_->SetScriptMarkup(!page.empty());
        if (!page.empty())
            target = page;
        d_->pageOverride.reset();
    }
    d_->StartOwnLoad(target);
    webkit_web_view_load_uri(d_->native, target.c_str());
}

void WebViewEngine::LoadHtml(const std::string& html, const std::string& baseUrl)
{
    if (!d_->Live())
        return;
    d_->navigationRequested = true;
    if (!d_->initialLoadDone) {
        d_->deferredLoad = [this, html, baseUrl] { LoadHtml(html, baseUrl); };
        return;
    }
    if (d_->servesPages) {
        std::string page = ToPageSchemeUrl(baseUrl);
        if (page.empty() && (baseUrl.empty() || baseUrl == "about:blank"))
            page = kPageSchemeBlank;
        d_->SetScriptMarkup(!page.empty());
        if (!page.empty()) {
            page = page.substr(0, page.find('#'));
            d_->pageOverride.emplace(page, html);
            d_->StartOwnLoad(page);
            webkit_web_view_load_uri(d_->native, page.c_str());
            return;
        }
    }
    d_->StartOwnLoad("");  // the engine names such a load after its base in its own way
    webkit_web_view_load_html(d_->native, html.c_str(), baseUrl.empty() ? nullptr : baseUrl.c_str());
}

void WebViewEngine::GoBack()
{
    if (d_->Live() && webkit_web_view_can_go_back(d_->native)) {
        d_->StartOwnLoad("");
        webkit_web_view_go_back(d_->native);
    }
}

void WebViewEngine::GoForward()
{
    if (d_->Live() && webkit_web_view_can_go_forward(d_->native)) {
        d_->StartOwnLoad("");
        webkit_web_view_go_forward(d_->native);
    }
}

void WebViewEngine::Stop()
{
    if (d_->Live())
        webkit_web_view_stop_loading(d_->native);
}

void WebViewEngine::Reload()
{
    if (d_->Live()) {
        d_->StartOwnLoad("");
        webkit_web_view_reload(d_->native);
    }
}

bool WebViewEngine::LoadFailed() const { return d_->loadFailed; }

bool WebViewEngine::IsLoading() const
{
    return d_->Live() && (webkit_web_view_is_loading(d_->native) || d_->deferredLoad);
}

std::string WebViewEngine::Url() const
{
    if (!d_->Live())
        return "";
    const char* u = webkit_web_view_get_uri(d_->native);
    return u ? u : "";
}

bool WebViewEngine::HasDocument() const { return d_->Live() && d_->hasDocument; }

std::uint64_t WebViewEngine::DocumentGeneration() const { return d_->generation; }

}  // namespace ql::web
