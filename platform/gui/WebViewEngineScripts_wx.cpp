// WebViewEngine: our scripts (run synchronously in a world of their own), the engine's editing
// commands, and the messages pages send us (edit watching, window.external).
#include "platform/gui/DomScript.h"
#include "platform/gui/EngineWait_wx.h"
#include "platform/gui/WebViewEngineImpl_wx.h"

namespace ql::web {

namespace {

constexpr char kWatchHandler[] = "qlEdit";
constexpr char kExternalHandler[] = "qlExternal";

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

const char* EditingCommandName(EditingCommand c)
{
    switch (c) {
    case EditingCommand::Cut:
        return WEBKIT_EDITING_COMMAND_CUT;
    case EditingCommand::Copy:
        return WEBKIT_EDITING_COMMAND_COPY;
    case EditingCommand::Paste:
        return WEBKIT_EDITING_COMMAND_PASTE;
    case EditingCommand::SelectAll:
        return WEBKIT_EDITING_COMMAND_SELECT_ALL;
    case EditingCommand::Undo:
        return WEBKIT_EDITING_COMMAND_UNDO;
    case EditingCommand::Redo:
        return WEBKIT_EDITING_COMMAND_REDO;
    }
    return WEBKIT_EDITING_COMMAND_COPY;
}

}  // namespace

gboolean WebViewEngine::Impl::OnExternalCall(WebKitUserContentManager*, JSCValue* value,
                                             WebKitScriptMessageReply* reply, gpointer p)
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

void WebViewEngine::Impl::OnMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer p)
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

void WebViewEngine::WatchEdits()
{
    if (!d_->Live() || d_->watching)
        return;
    d_->watching = true;
    d_->messageHandler = g_signal_connect(d_->content,
                                          (std::string("script-message-received::") + kWatchHandler).c_str(),
                                          G_CALLBACK(&Impl::OnMessage), d_.get());
    webkit_user_content_manager_register_script_message_handler_in_world(d_->content, kWatchHandler, kWorld);
    WebKitUserScript* script =
        webkit_user_script_new_for_world(EditWatchScript(kWatchHandler).c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
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
    WebKitUserScript* script = webkit_user_script_new(kExternalScript, WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                                      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(d_->content, script);
    webkit_user_script_unref(script);
}

bool WebViewEngine::RunScript(const std::string& script, std::string& result)
{
    if (!d_->Live())
        return false;
    auto keep = shared_from_this();  // the view's owner may go while we wait
    // Shared with the engine's callback, which may come after we stopped waiting.
    struct Wait {
        AnswerWait wait;
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
            w.wait.Answered();
        },
        new std::shared_ptr<Wait>(wait));
    WaitFor(wait->wait, cancel, scriptTimeoutMs);
    g_object_unref(cancel);
    switch (DecideAfterScriptWait({wait->wait.HasAnswer(), wait->ok, endHungProcess, d_->Live()})) {
    case AfterScriptWait::TakeResult:
        result = std::move(wait->value);
        return true;
    case AfterScriptWait::EndHungProcess:
        webkit_web_view_terminate_web_process(d_->native);
        return false;
    case AfterScriptWait::Fail:
        return false;
    }
    return false;
}

bool WebViewEngine::CanExecuteEditingCommand(EditingCommand command)
{
    if (!d_->Live())
        return false;
    auto keep = shared_from_this();
    struct Wait {
        AnswerWait wait;
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
            (*slot)->wait.Answered();
        },
        new std::shared_ptr<Wait>(wait));
    WaitFor(wait->wait, cancel, scriptTimeoutMs);
    g_object_unref(cancel);
    return wait->wait.HasAnswer() && wait->can;
}

bool WebViewEngine::ExecuteEditingCommand(EditingCommand command)
{
    if (!CanExecuteEditingCommand(command))
        return false;
    webkit_web_view_execute_editing_command(d_->native, EditingCommandName(command));
    return true;
}

}  // namespace ql::web
