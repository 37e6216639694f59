#include "platform/gui/SelectionWatch_wx.h"

#include "platform/core/ErrorLog.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <webkit2/webkit2.h>

namespace ql::web {

namespace {

constexpr char kHandler[] = "qlSelection";

}  // namespace

struct SelectionWatch::Impl {
    WebKitWebView* view = nullptr;
    WebKitUserContentManager* content = nullptr;
    WebKitUserScript* script = nullptr;
    WebKitEditorState* editorState = nullptr;
    gulong messageHandler = 0, typingHandler = 0;
    std::function<void()> changed;

    void Changed()
    {
        // Nothing may unwind through the engine's signal emission.
        GuardHandler("selection watch", [&] {
            if (changed)
                changed();
        });
    }
    static void OnMessage(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer p)
    {
        static_cast<Impl*>(p)->Changed();
    }
    static void OnTypingAttributes(GObject*, GParamSpec*, gpointer p) { static_cast<Impl*>(p)->Changed(); }
};

SelectionWatch::SelectionWatch(WebKitWebView* view, std::function<void()> changed) : d_(std::make_unique<Impl>())
{
    d_->changed = std::move(changed);
    if (!view)
        return;
    d_->view = WEBKIT_WEB_VIEW(g_object_ref(view));
    d_->content = webkit_web_view_get_user_content_manager(view);
    d_->messageHandler = g_signal_connect(d_->content, (std::string("script-message-received::") + kHandler).c_str(),
                                          G_CALLBACK(&Impl::OnMessage), d_.get());
    webkit_user_content_manager_register_script_message_handler_in_world(d_->content, kHandler, kScriptWorld);
    d_->script =
        webkit_user_script_new_for_world(SelectionWatchScript(kHandler).c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                         WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kScriptWorld, nullptr, nullptr);
    webkit_user_content_manager_add_script(d_->content, d_->script);
    d_->editorState = webkit_web_view_get_editor_state(view);
    if (d_->editorState)
        d_->typingHandler = g_signal_connect(d_->editorState, "notify::typing-attributes",
                                             G_CALLBACK(&Impl::OnTypingAttributes), d_.get());
}

SelectionWatch::~SelectionWatch()
{
    if (d_->view) {
        if (d_->typingHandler)
            g_signal_handler_disconnect(d_->editorState, d_->typingHandler);
        g_signal_handler_disconnect(d_->content, d_->messageHandler);
        webkit_user_content_manager_unregister_script_message_handler_in_world(d_->content, kHandler, kScriptWorld);
        webkit_user_content_manager_remove_script(d_->content, d_->script);
        webkit_user_script_unref(d_->script);
        g_object_unref(d_->view);
    }
}

}  // namespace ql::web
