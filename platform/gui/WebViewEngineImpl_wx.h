#pragma once
// The inside of WebViewEngine, shared by the files that implement it: WebViewEngine_wx.cpp
// (set-up and settings), WebViewEngineLoads_wx.cpp (loads, the page scheme, the navigation
// policy), WebViewEngineHooks_wx.cpp (the engine's signals that reach the hooks),
// WebViewEngineScripts_wx.cpp (scripts, editing commands, messages from pages),
// WebViewEnginePrint_wx.cpp and WebViewEngineFind_wx.cpp.
#include "platform/core/ErrorLog.h"
#include "platform/gui/OwnLoadGate.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>
#include <wx/fdrepdlg.h>
#include <wx/weakref.h>
#include <wx/webview.h>

#include <optional>
#include <utility>
#include <vector>

namespace ql::web {

// Our scripts run here, apart from the page's own (which may be switched off).
inline constexpr const char* kWorld = kScriptWorld;
// On a web view: the engine (Impl) that serves its page-scheme requests. On a web context: the
// page scheme is registered there.
inline constexpr char kEngineKey[] = "quillory-engine";
inline constexpr char kSchemeKey[] = "quillory-page-scheme";

// A hook's failure must not unwind through the engine's C callbacks.
template <class F>
inline void Guarded(F&& f)
{
    GuardHandler("web engine", std::forward<F>(f));
}

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

    // The view's signals (data: the Impl).
    static void OnDestroy(GtkWidget*, gpointer p);
    static void ServePage(WebKitURISchemeRequest* request, gpointer);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent ev, gpointer p);
    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error, gpointer p);
    static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu*, GdkEvent* event, WebKitHitTestResult* hit,
                                  gpointer p);
    static gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer p);
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                   gpointer p);
    static void OnProcessGone(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer p);
    static void OnClose(WebKitWebView*, gpointer p);
    static void OnMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer p);
    static gboolean OnExternalCall(WebKitUserContentManager*, JSCValue* value, WebKitScriptMessageReply* reply,
                                   gpointer p);
    static void OnMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer p);
};

}  // namespace ql::web
