#include "platform/gui/HtmlEditControl_wx.h"

#include "platform/core/SafeFile.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/EditDialogs_wx.h"
#include "platform/gui/ScriptDocument.h"
#include "platform/gui/WebUrls.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <wx/sizer.h>
#include <wx/weakref.h>
#include <wx/webview.h>

#include <webkit2/webkit2.h>

namespace ql::web {

namespace {

// Line breaks as CR LF, the form the program's page files keep.
std::string WithCrLf(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

HtmlEditControl* HtmlEditControl::Create(wxWindow* parent, wxWindowID id, std::string* error)
{
    auto* control = new HtmlEditControl(parent, id);
    if (!control->Init(error)) {
        control->Destroy();
        return nullptr;
    }
    return control;
}

HtmlEditControl::HtmlEditControl(wxWindow* parent, wxWindowID id) : wxPanel(parent, id) {}

bool HtmlEditControl::Init(std::string* error)
{
    engine_ = WebViewEngine::Create(this, error);
    if (!engine_)
        return false;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(engine_->View(), 1, wxEXPAND);
    SetSizer(sizer);

    ownDialogs_ = std::make_unique<WxEditDialogs>(this);
    dialogs_ = ownDialogs_.get();

    // Editing a page never runs its scripts, yet keeps them in its markup for the save; the view
    // shows only what we load (a page's refresh must not put another document under the save);
    // a failed load leaves no document; and a slow script never costs the unsaved document.
    WebEngineSettings settings;
    settings.pageScripts = false;
    engine_->Apply(settings);
    engine_->ServePagesWithoutScripts();
    engine_->FollowOwnLoadsOnly();
    engine_->showErrorPages = false;
    engine_->endHungProcess = false;
    engine_->scriptTimeoutMs = 30000;
    engine_->SetEditable(true);
    engine_->WatchEdits();

    engine_->OnWatchMessage = [this](const std::string& message) {
        if (message == "changed")
            dirty_ = true;
        else if (message == "display")
            QueueDisplayChanged();
    };
    WatchTypingAttributes();
    engine_->OnCommitted = [this] { dirty_ = false; };
    wxWeakRef<HtmlEditControl> self(this);
    engine_->OnLoaded = [this, self](const std::string&) {
        loadPending_ = false;
        CallAfter([self] {
            if (!self)
                return;
            self->ApplyParagraphSeparator();
            self->PlaceCaret();
            self->dirty_ = false;
            if (self->OnDocumentComplete)
                self->OnDocumentComplete();
        });
    };
    return true;
}

void HtmlEditControl::WatchTypingAttributes()
{
    // The page's selection changes reach us as its "display" messages; a format chosen at a
    // caret (Bold with nothing selected, the caret moving into other text) changes only the
    // editor's typing attributes, which the engine reports on its editor state.
    WebKitWebView* view = engine_->Native();
    WebKitEditorState* state = view ? webkit_web_view_get_editor_state(view) : nullptr;
    if (!state)
        return;
    editorState_ = G_OBJECT(g_object_ref(state));
    typingHandler_ = g_signal_connect_swapped(editorState_, "notify::typing-attributes",
                                              G_CALLBACK(+[](HtmlEditControl* self) { self->QueueDisplayChanged(); }),
                                              this);
}

void HtmlEditControl::QueueDisplayChanged()
{
    // One refresh for the notifications of one change: each reads the states from the page.
    if (displayQueued_)
        return;
    displayQueued_ = true;
    wxWeakRef<HtmlEditControl> self(this);
    CallAfter([self] {
        if (!self)
            return;
        self->displayQueued_ = false;
        if (self->OnDisplayChanged)
            self->OnDisplayChanged();
    });
}

HtmlEditControl::~HtmlEditControl()
{
    if (editorState_) {
        g_signal_handler_disconnect(editorState_, typingHandler_);
        g_object_unref(editorState_);
    }
    // The engine lets go of the view while the view still exists.
    if (engine_) {
        engine_->OnWatchMessage = nullptr;
        engine_->OnCommitted = nullptr;
        engine_->OnLoaded = nullptr;
        engine_.reset();
    }
}

com::HRESULT HtmlEditControl::ExecCommand(std::int32_t command, std::uint32_t option, const com::Variant& in,
                                          com::Variant* out)
{
    auto engine = engine_;  // kept for the whole command, however long its scripts take
    return ExecuteEditCommand(*engine, *dialogs_, command, option, in, out);
}

std::int32_t HtmlEditControl::QueryStatus(std::int32_t command)
{
    auto engine = engine_;
    return QueryEditCommand(*engine, command);
}

bool HtmlEditControl::LoadFailed() const { return engine_->LoadFailed(); }

void HtmlEditControl::NewDocument()
{
    loadPending_ = true;
    engine_->LoadHtml("<html><head></head><body></body></html>", "about:blank");
}

void HtmlEditControl::LoadURL(const std::string& url)
{
    loadPending_ = true;
    engine_->Load(NavigationUrl(url));
}

void HtmlEditControl::LoadDocument(const std::string& path)
{
    loadPending_ = true;
    engine_->Load(path.empty() || path[0] != '/' ? path : FilePathToUrl(path));
}

void HtmlEditControl::PrintDocument(std::optional<bool> withUI)
{
    PrintJob job;
    job.withDialog = withUI.value_or(true);
    engine_->PrintPage(job);
}

com::ComPtr<com::IHTMLDocument2> HtmlEditControl::DOM() { return MakeScriptDocument(engine_); }

std::string HtmlEditControl::DocumentHTML()
{
    if (!engine_->HasDocument())
        return "";
    json::Value v;
    if (com::FAILED(RunDomScript(*engine_, "Q.serialize()", &v)) || !v.AsString())
        return "";
    return *v.AsString();
}

void HtmlEditControl::SetDocumentHTML(const std::string& html)
{
    std::string base = engine_->Url();
    loadPending_ = true;
    engine_->LoadHtml(html, base);
}

bool HtmlEditControl::SaveDocument(const std::string& path)
{
    wxWeakRef<HtmlEditControl> self(this);
    std::string html = DocumentHTML();
    if (html.empty() || !WriteFileAtomic(path, WithCrLf(html)))
        return false;
    if (self)  // the script above waited; the control may have gone meanwhile
        dirty_ = false;
    return true;
}

bool HtmlEditControl::Busy() const { return loadPending_ || engine_->IsLoading(); }

void HtmlEditControl::SetUseDivOnCarriageReturn(bool useDiv)
{
    useDiv_ = useDiv;
    ApplyParagraphSeparator();
}

void HtmlEditControl::ApplyParagraphSeparator()
{
    if (!engine_->HasDocument())
        return;
    RunDomScript(*engine_,
                 std::string("document.execCommand('defaultParagraphSeparator',false,") + (useDiv_ ? "'div'" : "'p'") +
                     ")",
                 nullptr);
}

void HtmlEditControl::PlaceCaret()
{
    // A loaded document starts with the insertion point at its beginning, so the editing
    // commands apply at once.
    RunDomScript(
        *engine_,
        "(function(){var s=getSelection();if(s.rangeCount||!document.body)return false;"
        "var r=document.createRange();r.setStart(document.body,0);r.collapse(true);s.addRange(r);return true;})()",
        nullptr);
}

void HtmlEditControl::SetDialogs(EditDialogs* dialogs) { dialogs_ = dialogs ? dialogs : ownDialogs_.get(); }

}  // namespace ql::web
