#include "platform/gui/WebViewEngine_wx.h"

#include "platform/core/ErrorLog.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/OwnLoadGate.h"
#include "platform/gui/PageScheme.h"
#include "platform/gui/WebUrls.h"

#include <glib/gi18n.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/app.h>
#include <wx/eventfilter.h>
#include <wx/fdrepdlg.h>
#include <wx/utils.h>
#include <wx/weakref.h>
#include <wx/webview.h>

#include <optional>
#include <utility>
#include <vector>

namespace ql::web {

namespace {

// Our scripts run here, apart from the page's own (which may be switched off).
constexpr const char* kWorld = kScriptWorld;
constexpr char kWatchHandler[] = "qlEdit";
constexpr char kExternalHandler[] = "qlExternal";
// On a web view: the engine (Impl) that serves its page-scheme requests. On a web context: the
// page scheme is registered there.
constexpr char kEngineKey[] = "quillory-engine";
constexpr char kSchemeKey[] = "quillory-page-scheme";

// In the page's own world: window.external turns every method call into a message to us.
constexpr char kExternalScript[] = R"JS((function(){
var h = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers.qlExternal;
if (!h) return;
var external = new Proxy({}, {get: function(target, name) {
  if (typeof name !== 'string' || name === 'then') return undefined;
  return function() { return h.postMessage({m: name, a: Array.prototype.slice.call(arguments)}); };
}});
try { Object.defineProperty(window, 'external', {value: external, configurable: true}); } catch (e) {}
})();)JS";

// A hook's failure must not unwind through the engine's C callbacks.
template <class F>
void Guarded(F&& f)
{
    GuardHandler("web engine", std::forward<F>(f));
}

// While we wait for the engine, nothing of ours may run in between: a handler run from the
// loop could re-enter the caller or delete the window whose method waits. So the user's input
// is held back (and handed on afterwards, in order), wx's queued events (CallAfter and the like)
// wait, and idle and update-UI events are skipped (they come again). The hold is process-wide
// (the toolkit has one event handler), so nested waits share the outermost one.
class HoldEventsWhileWaiting {
public:
    HoldEventsWhileWaiting()
    {
        if (depth_++ > 0)
            return;
        if (wxTheApp)
            wxTheApp->SuspendProcessingOfPendingEvents();
        wxEvtHandler::AddFilter(&filter_);
        gdk_event_handler_set(&HoldInput, &held_, nullptr);
    }
    ~HoldEventsWhileWaiting()
    {
        if (--depth_ > 0)
            return;
        gdk_event_handler_set(&PassOn, nullptr, nullptr);
        wxEvtHandler::RemoveFilter(&filter_);
        if (wxTheApp)
            wxTheApp->ResumeProcessingOfPendingEvents();
        for (GdkEvent* e : std::exchange(held_, {})) {
            gdk_event_put(e);
            gdk_event_free(e);
        }
    }
    HoldEventsWhileWaiting(const HoldEventsWhileWaiting&) = delete;
    HoldEventsWhileWaiting& operator=(const HoldEventsWhileWaiting&) = delete;

private:
    struct SkipIdle : wxEventFilter {
        int FilterEvent(wxEvent& event) override
        {
            wxEventType t = event.GetEventType();
            return t == wxEVT_IDLE || t == wxEVT_UPDATE_UI ? Event_Ignore : Event_Skip;
        }
    };

    static bool IsUserInput(GdkEventType t)
    {
        switch (t) {
        case GDK_KEY_PRESS: case GDK_KEY_RELEASE:
        case GDK_BUTTON_PRESS: case GDK_2BUTTON_PRESS: case GDK_3BUTTON_PRESS: case GDK_BUTTON_RELEASE:
        case GDK_MOTION_NOTIFY: case GDK_SCROLL:
        case GDK_TOUCH_BEGIN: case GDK_TOUCH_UPDATE: case GDK_TOUCH_END: case GDK_TOUCH_CANCEL:
        case GDK_DELETE:  // the window's close button
            return true;
        default:
            return false;
        }
    }

    static void PassOn(GdkEvent* event, gpointer) { gtk_main_do_event(event); }

    static void HoldInput(GdkEvent* event, gpointer data)
    {
        if (IsUserInput(event->type))
            static_cast<std::vector<GdkEvent*>*>(data)->push_back(gdk_event_copy(event));
        else
            gtk_main_do_event(event);
    }

    // The toolkit's event handler is one per process; so are these (GUI thread only).
    static inline int depth_ = 0;
    static inline std::vector<GdkEvent*> held_;
    static inline SkipIdle filter_;
};

// Runs the main loop until `done` or `timeoutMs` passed (then cancels `cancel`).
void WaitFor(const bool& done, GCancellable* cancel, int timeoutMs)
{
    HoldEventsWhileWaiting hold;
    struct Timer {
        GCancellable* cancel;
        bool fired = false;
    } timer{cancel};
    guint id = g_timeout_add(
        static_cast<guint>(timeoutMs),
        [](gpointer p) -> gboolean {
            auto* t = static_cast<Timer*>(p);
            t->fired = true;
            g_cancellable_cancel(t->cancel);
            return G_SOURCE_REMOVE;
        },
        &timer);
    while (!done && !timer.fired)
        g_main_context_iteration(nullptr, TRUE);
    if (!timer.fired)
        g_source_remove(id);
}

const char* EditingCommandName(EditingCommand c)
{
    switch (c) {
    case EditingCommand::Cut: return WEBKIT_EDITING_COMMAND_CUT;
    case EditingCommand::Copy: return WEBKIT_EDITING_COMMAND_COPY;
    case EditingCommand::Paste: return WEBKIT_EDITING_COMMAND_PASTE;
    case EditingCommand::SelectAll: return WEBKIT_EDITING_COMMAND_SELECT_ALL;
    case EditingCommand::Undo: return WEBKIT_EDITING_COMMAND_UNDO;
    case EditingCommand::Redo: return WEBKIT_EDITING_COMMAND_REDO;
    }
    return WEBKIT_EDITING_COMMAND_COPY;
}

// The find dialog owns the data it edits, so neither can outlive the other.
class FindDialog : public wxFindReplaceDialog {
public:
    explicit FindDialog(wxWindow* parent) { Create(parent, &data_, "Find"); }

private:
    wxFindReplaceData data_{wxFR_DOWN};
};

}  // namespace

struct WebViewEngine::Impl {
    wxWeakRef<wxWebView> view;
    WebKitWebView* native = nullptr;  // our own reference
    WebKitUserContentManager* content = nullptr;
    std::vector<gulong> viewHandlers;
    gulong messageHandler = 0;
    bool viewGone = false;
    std::string baseUserAgent;
    std::uint64_t generation = 0;
    bool navigationRequested = false;
    bool hasDocument = false;
    // The view loads a blank page of its own when it is made; our first load waits for it, so
    // its events are never taken for ours.
    bool initialLoadDone = false;
    std::function<void()> deferredLoad;
    bool watching = false;
    gulong externalHandler = 0;
    ExternalHandler external;
    JSCContext* replyContext = nullptr;
    wxWeakRef<wxFindReplaceDialog> findDialog;
    WebViewEngine* self = nullptr;
    bool servesPages = false;
    // Markup LoadHtml gave for a page-scheme address, served when that address is asked for.
    std::optional<std::pair<std::string, std::string>> pageOverride;
    bool gated = false;
    OwnLoadGate gate;
    bool loadFailed = false;
    std::string failedUri;

    bool Live() const { return native && !viewGone && view; }

    void SetScriptMarkup(bool on)
    {
        webkit_settings_set_enable_javascript_markup(webkit_web_view_get_settings(native), on);
    }

    // The start of every load we ask for.
    void StartOwnLoad(const std::string& url)
    {
        loadFailed = false;
        gate.Expect(url);
    }

    static void ServePage(WebKitURISchemeRequest* request, gpointer)
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

    static void OnDestroy(GtkWidget*, gpointer p) { static_cast<Impl*>(p)->viewGone = true; }

    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent ev, gpointer p)
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

    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer p)
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

    static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent* event, WebKitHitTestResult* hit,
                                  gpointer p)
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

    static gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer p)
    {
        WebViewEngine* e = static_cast<Impl*>(p)->self;
        if (!e->OnScriptDialog)
            return FALSE;
        ScriptDialogRequest r;
        switch (webkit_script_dialog_get_dialog_type(dialog)) {
        case WEBKIT_SCRIPT_DIALOG_ALERT: r.kind = ScriptDialogKind::Alert; break;
        case WEBKIT_SCRIPT_DIALOG_CONFIRM: r.kind = ScriptDialogKind::Confirm; break;
        case WEBKIT_SCRIPT_DIALOG_PROMPT: r.kind = ScriptDialogKind::Prompt; break;
        default: r.kind = ScriptDialogKind::BeforeUnload; break;
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

    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                   gpointer p)
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

    static void OnProcessGone(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer p)
    {
        auto* d = static_cast<Impl*>(p);
        d->hasDocument = false;
        ++d->generation;
    }

    static void OnClose(WebKitWebView*, gpointer p)
    {
        WebViewEngine* e = static_cast<Impl*>(p)->self;
        if (e->OnClose)
            Guarded([&] { e->OnClose(); });
    }

    static void OnMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer p)
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

    static gboolean OnExternalCall(WebKitUserContentManager*, JSCValue* value, WebKitScriptMessageReply* reply,
                                   gpointer p)
    {
        auto* d = static_cast<Impl*>(p);
        std::string error = "no external object";
        json::Value result;
        bool ok = false;
        char* text = value ? jsc_value_to_json(value, 0) : nullptr;
        auto call = text ? json::Parse(text) : std::nullopt;
        g_free(text);
        const json::Value* method = call ? call->Find("m") : nullptr;
        const json::Value* args = call ? call->Find("a") : nullptr;
        if (d->external && method && method->AsString() && args && args->AsArray())
            Guarded([&] { ok = d->external(*method->AsString(), *args->AsArray(), result, error); });
        if (!ok) {
            webkit_script_message_reply_return_error_message(reply, error.c_str());
            return TRUE;
        }
        if (!d->replyContext)
            d->replyContext = jsc_context_new();
        JSCValue* answer = jsc_value_new_from_json(d->replyContext, json::Encode(result).c_str());
        webkit_script_message_reply_return_value(reply, answer);
        g_object_unref(answer);
        return TRUE;
    }

    static void OnMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer p)
    {
        WebViewEngine* e = static_cast<Impl*>(p)->self;
        if (!e->OnWatchMessage || !result)
            return;
        JSCValue* v = webkit_javascript_result_get_js_value(result);
        if (!v || !jsc_value_is_string(v))
            return;
        char* s = jsc_value_to_string(v);
        std::string text = s ? s : "";
        g_free(s);
        Guarded([&] { e->OnWatchMessage(text); });
    }
};

WebViewEngine::WebViewEngine(std::unique_ptr<Impl> impl) : d_(std::move(impl))
{
    d_->self = this;
}

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

wxWebView* WebViewEngine::View() const
{
    return d_->view;
}

WebKitWebView* WebViewEngine::Native() const
{
    return d_->Live() ? d_->native : nullptr;
}

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

void WebViewEngine::WatchEdits()
{
    if (!d_->Live() || d_->watching)
        return;
    d_->watching = true;
    d_->messageHandler = g_signal_connect(d_->content, (std::string("script-message-received::") + kWatchHandler).c_str(),
                                          G_CALLBACK(&Impl::OnMessage), d_.get());
    webkit_user_content_manager_register_script_message_handler_in_world(d_->content, kWatchHandler, kWorld);
    WebKitUserScript* script = webkit_user_script_new_for_world(
        EditWatchScript(kWatchHandler).c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
        WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END, kWorld, nullptr, nullptr);
    webkit_user_content_manager_add_script(d_->content, script);
    webkit_user_script_unref(script);
}

void WebViewEngine::ExposeExternal(ExternalHandler handler)
{
    d_->external = std::move(handler);
    if (!d_->Live() || d_->externalHandler)
        return;
    d_->externalHandler =
        g_signal_connect(d_->content, (std::string("script-message-with-reply-received::") + kExternalHandler).c_str(),
                         G_CALLBACK(&Impl::OnExternalCall), d_.get());
    webkit_user_content_manager_register_script_message_handler_with_reply(d_->content, kExternalHandler, nullptr);
    WebKitUserScript* script =
        webkit_user_script_new(kExternalScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(d_->content, script);
    webkit_user_script_unref(script);
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

void WebViewEngine::FollowOwnLoadsOnly()
{
    d_->gated = true;
}

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

bool WebViewEngine::LoadFailed() const
{
    return d_->loadFailed;
}

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

bool WebViewEngine::RunScript(const std::string& script, std::string& result)
{
    if (!d_->Live())
        return false;
    auto keep = shared_from_this();  // the view's owner may go while we wait
    struct Wait {
        bool done = false;
        bool ok = false;
        std::string value;
    };
    auto wait = std::make_shared<Wait>();
    GCancellable* cancel = g_cancellable_new();
    webkit_web_view_evaluate_javascript(
        d_->native, script.data(), static_cast<gssize>(script.size()), kWorld, nullptr, cancel,
        [](GObject* source, GAsyncResult* res, gpointer data) {
            std::unique_ptr<std::shared_ptr<Wait>> slot(static_cast<std::shared_ptr<Wait>*>(data));
            GError* err = nullptr;
            JSCValue* v = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), res, &err);
            Wait& w = **slot;
            if (v && jsc_value_is_string(v)) {
                char* t = jsc_value_to_string(v);
                w.value = t ? t : "";
                g_free(t);
                w.ok = true;
            }
            if (v)
                g_object_unref(v);
            if (err)
                g_error_free(err);
            w.done = true;
        },
        new std::shared_ptr<Wait>(wait));
    WaitFor(wait->done, cancel, scriptTimeoutMs);
    g_object_unref(cancel);
    if (!wait->done) {
        // The page's process does not answer: it is hung. Ending it makes the view usable
        // again (the next load starts a new one) instead of every later call waiting as long.
        if (endHungProcess && d_->Live())
            webkit_web_view_terminate_web_process(d_->native);
        return false;
    }
    if (!wait->ok)
        return false;
    result = std::move(wait->value);
    return true;
}

bool WebViewEngine::HasDocument() const
{
    return d_->Live() && d_->hasDocument;
}

std::uint64_t WebViewEngine::DocumentGeneration() const
{
    return d_->generation;
}

bool WebViewEngine::CanExecuteEditingCommand(EditingCommand command)
{
    if (!d_->Live())
        return false;
    auto keep = shared_from_this();
    struct Wait {
        bool done = false;
        bool can = false;
    };
    auto wait = std::make_shared<Wait>();
    GCancellable* cancel = g_cancellable_new();
    webkit_web_view_can_execute_editing_command(
        d_->native, EditingCommandName(command), cancel,
        [](GObject* source, GAsyncResult* res, gpointer data) {
            std::unique_ptr<std::shared_ptr<Wait>> slot(static_cast<std::shared_ptr<Wait>*>(data));
            GError* err = nullptr;
            (*slot)->can = webkit_web_view_can_execute_editing_command_finish(WEBKIT_WEB_VIEW(source), res, &err);
            if (err)
                g_error_free(err);
            (*slot)->done = true;
        },
        new std::shared_ptr<Wait>(wait));
    WaitFor(wait->done, cancel, scriptTimeoutMs);
    g_object_unref(cancel);
    return wait->done && wait->can;
}

bool WebViewEngine::ExecuteEditingCommand(EditingCommand command)
{
    if (!CanExecuteEditingCommand(command))
        return false;
    webkit_web_view_execute_editing_command(d_->native, EditingCommandName(command));
    return true;
}

bool WebViewEngine::Print(bool promptUser)
{
    PrintJob job;
    job.withDialog = promptUser;
    if (!promptUser)
        job.outputFile = printOutputFile;
    job.pageSetup = PageSetupSource ? PageSetupSource() : ReadEnginePageSetup(OptionRoot);
    return PrintPage(job);
}

bool WebViewEngine::PrintPage(const PrintJob& job)
{
    if (!d_->Live())
        return false;
    WebKitPrintOperation* op = webkit_print_operation_new(d_->native);
    GtkPrintSettings* ps = gtk_print_settings_new();
    if (!job.outputFile.empty()) {
        // The toolkit's file printer, by its (translated) name.
        gtk_print_settings_set_printer(ps, g_dgettext("gtk30", "Print to File"));
        gtk_print_settings_set(ps, GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT, "pdf");
        gtk_print_settings_set(ps, GTK_PRINT_SETTINGS_OUTPUT_URI, FilePathToUrl(job.outputFile).c_str());
    }
    webkit_print_operation_set_print_settings(op, ps);
    g_object_unref(ps);
    if (job.pageSetup) {
        GtkPageSetup* setup = gtk_page_setup_new();
        gtk_page_setup_set_orientation(setup, job.pageSetup->landscape ? GTK_PAGE_ORIENTATION_LANDSCAPE
                                                                       : GTK_PAGE_ORIENTATION_PORTRAIT);
        gtk_page_setup_set_left_margin(setup, job.pageSetup->leftMm, GTK_UNIT_MM);
        gtk_page_setup_set_right_margin(setup, job.pageSetup->rightMm, GTK_UNIT_MM);
        gtk_page_setup_set_top_margin(setup, job.pageSetup->topMm, GTK_UNIT_MM);
        gtk_page_setup_set_bottom_margin(setup, job.pageSetup->bottomMm, GTK_UNIT_MM);
        webkit_print_operation_set_page_setup(op, setup);
        g_object_unref(setup);
    }
    struct Report {
        std::weak_ptr<WebViewEngine> engine;
        std::string error;
    };
    auto* report = new Report{weak_from_this(), ""};
    gulong failed = g_signal_connect(op, "failed", G_CALLBACK(+[](WebKitPrintOperation*, GError* e, gpointer p) {
                                         static_cast<Report*>(p)->error = e && e->message ? e->message : "failed";
                                     }),
                                     report);
    g_object_ref(op);  // held until "finished"
    gulong finished = g_signal_connect_data(
        op, "finished", G_CALLBACK(+[](WebKitPrintOperation* o, gpointer p) {
            auto* r = static_cast<Report*>(p);
            if (auto e = r->engine.lock(); e && e->OnPrintFinished)
                Guarded([&] { e->OnPrintFinished(r->error.empty(), r->error); });
            g_object_unref(o);
        }),
        report, [](gpointer p, GClosure*) { delete static_cast<Report*>(p); }, GConnectFlags(0));
    bool started = true;
    if (job.withDialog) {
        GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(d_->native));
        WebKitPrintOperationResponse r =
            webkit_print_operation_run_dialog(op, GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr);
        if (r != WEBKIT_PRINT_OPERATION_RESPONSE_PRINT) {
            started = false;
            g_signal_handler_disconnect(op, failed);
            g_signal_handler_disconnect(op, finished);
            g_object_unref(op);
        }
    } else {
        webkit_print_operation_print(op);
    }
    g_object_unref(op);
    return started;
}

bool WebViewEngine::ShowFindDialog()
{
    if (!d_->Live())
        return false;
    if (d_->findDialog) {
        d_->findDialog->Raise();
        return true;
    }
    auto* dialog = new FindDialog(wxGetTopLevelParent(d_->view));
    std::weak_ptr<WebViewEngine> weak = weak_from_this();
    auto find = [weak](wxFindDialogEvent& ev) {
        auto e = weak.lock();
        if (!e)
            return;
        int flags = ev.GetFlags();
        json::Value found;
        com::HRESULT hr = RunDomScript(*e,
                                       FindInPageExpression(ev.GetFindString().utf8_string(), (flags & wxFR_MATCHCASE) != 0,
                                                            (flags & wxFR_WHOLEWORD) != 0, (flags & wxFR_DOWN) == 0),
                                       &found);
        if (com::FAILED(hr) || !found.AsBool() || !*found.AsBool())
            wxBell();
    };
    dialog->Bind(wxEVT_FIND, find);
    dialog->Bind(wxEVT_FIND_NEXT, find);
    dialog->Bind(wxEVT_FIND_CLOSE, [](wxFindDialogEvent& ev) { ev.GetDialog()->Destroy(); });
    d_->findDialog = dialog;
    dialog->Show();
    return true;
}

}  // namespace ql::web
