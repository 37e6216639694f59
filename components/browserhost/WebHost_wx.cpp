#include "components/browserhost/WebHost_wx.h"
#include "components/browserhost/WebHostDdeWindow.h"
#include "components/browserhost/WebHostDialogs_wx.h"
#include "platform/gui/SelectionWatch_wx.h"

#include "platform/gui/ScriptDocument.h"
#include "platform/gui/WebUrls.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/sizer.h>
#include <wx/toplevel.h>
#include <wx/webview.h>

namespace ql {

using namespace ql::com;

namespace {

// The virtual key code of a wx key, and whether it is one of the dedicated (extended) keys.
std::uintptr_t VirtualKeyOf(int key, bool& extended)
{
    extended = false;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return static_cast<std::uintptr_t>(key);
    if (key >= 'a' && key <= 'z')
        return static_cast<std::uintptr_t>(key) - 'a' + 'A';
    if (key >= WXK_F1 && key <= WXK_F24)
        return 0x70 + static_cast<std::uintptr_t>(key - WXK_F1);
    struct Map {
        int wx;
        std::uintptr_t vk;
        bool extended;
    };
    static const Map kKeys[] = {
        {WXK_BACK, 0x08, false},          {WXK_TAB, 0x09, false},           {WXK_RETURN, 0x0D, false},
        {WXK_NUMPAD_ENTER, 0x0D, true},   {WXK_ESCAPE, 0x1B, false},        {WXK_SPACE, 0x20, false},
        {WXK_PAGEUP, 0x21, true},         {WXK_PAGEDOWN, 0x22, true},       {WXK_END, 0x23, true},
        {WXK_HOME, 0x24, true},           {WXK_LEFT, 0x25, true},           {WXK_UP, 0x26, true},
        {WXK_RIGHT, 0x27, true},          {WXK_DOWN, 0x28, true},           {WXK_INSERT, 0x2D, true},
        {WXK_DELETE, 0x2E, true},         {WXK_NUMPAD_PAGEUP, 0x21, false}, {WXK_NUMPAD_PAGEDOWN, 0x22, false},
        {WXK_NUMPAD_END, 0x23, false},    {WXK_NUMPAD_HOME, 0x24, false},   {WXK_NUMPAD_LEFT, 0x25, false},
        {WXK_NUMPAD_UP, 0x26, false},     {WXK_NUMPAD_RIGHT, 0x27, false},  {WXK_NUMPAD_DOWN, 0x28, false},
        {WXK_NUMPAD_INSERT, 0x2D, false}, {WXK_NUMPAD_DELETE, 0x2E, false},
    };
    for (const auto& m : kKeys)
        if (m.wx == key) {
            extended = m.extended;
            return m.vk;
        }
    return 0;
}

}  // namespace

TWebHost::TWebHost(wxWindow* parent, Launcher& launcher, wxWindowID id) : wxPanel(parent, id), TWebHostCore(launcher)
{
    // Other processes' conversations run on the GUI thread, as every message to a window does.
    ddeWindow_ = std::make_unique<DdeWindow>(*this, [](const std::function<void()>& work) {
        if (wxTheApp)
            wxTheApp->CallAfter(work);
    });
    engine_ = web::WebViewEngine::Create(this);
    if (!engine_)
        return;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(engine_->View(), 1, wxEXPAND);
    SetSizer(sizer);
    engine_->PageSetupSource = [this] { return PageSetupOf(PrintOptions); };
    HookEngine();
    engine_->Apply(EngineSettings());

    owner_ = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(parent));
    if (owner_) {
        owner_->Bind(wxEVT_ACTIVATE, &TWebHost::OnOwnerActivate, this);
        WatchDialogs();
    }
    WatchMoments();
    WatchClipboard();
    WatchDrags();
    WatchServiceRequests();
}

TWebHost::~TWebHost()
{
    ddeWindow_.reset();
    dialogWatch_.reset();
    UnwatchMoments();
    UnwatchClipboard();
    UnwatchDrags();
    if (engine_ && engine_->Native())  // the drag and service hooks on the engine's widget
        g_signal_handlers_disconnect_by_data(engine_->Native(), this);
    if (owner_)
        owner_->Unbind(wxEVT_ACTIVATE, &TWebHost::OnOwnerActivate, this);
    if (engine_) {
        engine_->ExposeExternal(nullptr);
        engine_->OnContextMenu = nullptr;
        engine_->OnScriptDialog = nullptr;
        engine_->OnNavigation = nullptr;
        engine_->OnClose = nullptr;
        engine_->OnHoverLink = nullptr;
        engine_->OnLoaded = nullptr;
        engine_->PageSetupSource = nullptr;
        engine_.reset();
    }
}

void TWebHost::HookEngine()
{
    wxWeakRef<TWebHost> self(this);
    wxWebView* view = engine_->View();
    view->Bind(wxEVT_CHAR_HOOK, &TWebHost::OnKey, this);
    view->Bind(wxEVT_SET_FOCUS, &TWebHost::OnFocus, this);
    view->Bind(wxEVT_KILL_FOCUS, &TWebHost::OnFocus, this);

    engine_->ExposeExternal([this](const std::string& method, const json::Array& args, json::Value& result,
                                   std::string& error) { return InvokeExternal(method, args, result, error); });
    engine_->OnContextMenu = [this](const web::ContextMenuRequest& r) {
        dochost::POINT pt{r.screenX, r.screenY};
        ComPtr<IUnknown> target;
        if (ComPtr<IDispatch> doc = Document())
            doc->QueryInterface(IOleCommandTarget::IID_, target.putVoid());
        return ShowContextMenu(dochost::ContextMenuKind(r.editable, r.image, r.link, r.selection), &pt, target.get(),
                               nullptr) == S_OK;
    };
    engine_->OnScriptDialog = [this](const web::ScriptDialogRequest& r) -> std::optional<bool> {
        if (r.kind == web::ScriptDialogKind::Prompt)
            return std::nullopt;  // a message box cannot answer with text
        std::int32_t type = r.kind == web::ScriptDialogKind::Alert ? dochost::MB_OK | dochost::MB_ICONWARNING
                                                                   : dochost::MB_OKCANCEL | dochost::MB_ICONQUESTION;
        std::int32_t result = 0;
        if (ShowMessage(WideFromUtf8(r.message), u"", type, u"", 0, &result) != S_OK)
            return std::nullopt;
        return result == dochost::IDOK;
    };
    engine_->OnNavigation = [this, self](const web::NavigationRequest& r) {
        if (!translatedTarget_.empty() && r.url == translatedTarget_) {
            translatedTarget_.clear();
            return web::NavigationVerdict::Allow;
        }
        NavigationDecision d = DecideNavigation(r.url, engine_->Url(), r.linkClick, r.newWindow);
        switch (d.action) {
        case NavigationAction::Allow:
            return web::NavigationVerdict::Allow;
        case NavigationAction::LoadInstead:
            CallAfter([self, url = d.url] {
                if (self && self->engine_) {
                    self->translatedTarget_ = url;
                    self->engine_->Load(url);
                }
            });
            return web::NavigationVerdict::Ignore;
        case NavigationAction::OpenExternally:
            CallAfter([self, url = d.url] {
                if (self)
                    self->launcher().OpenWithDesktop(url);
            });
            return web::NavigationVerdict::Ignore;
        case NavigationAction::Ignore:
            break;
        }
        return web::NavigationVerdict::Ignore;
    };
    engine_->OnClose = [this, self] {
        CallAfter([self] {
            if (self)
                self->CloseRequested();
        });
    };
    engine_->OnHoverLink = [this](const std::string& link) {
        if (OnStatusTextChange)
            OnStatusTextChange(link);
    };
    engine_->OnLoaded = [this, self](const std::string& url) {
        CallAfter([self, url] {
            if (self && self->OnDocumentComplete) {
                ComPtr<IDispatch> doc = self->Document();
                self->OnDocumentComplete(doc.get(), url);
            }
        });
    };
}

void TWebHost::OnKey(wxKeyEvent& event)
{
    event.Skip();
    bool extended = false;
    std::uintptr_t vk = VirtualKeyOf(event.GetKeyCode(), extended);
    if (vk == 0)
        return;
    if (vk == 0x70 && !event.HasAnyModifiers()) {  // F1 asks the host for help
        if (ShowHelp(WideFromUtf8(HelpFile), 0, 0, {event.GetX(), event.GetY()}, nullptr) == S_OK)
            event.Skip(false);
        return;
    }
    dochost::MSG msg;
    msg.message = dochost::WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = extended ? dochost::KF_EXTENDED_BIT : 0;
    msg.time = static_cast<std::uint32_t>(event.GetTimestamp());
    if (dochost::KeyBypassesAccelerators(msg.wParam, msg.lParam))
        return;
    if (TranslateAccelerator(&msg, nullptr, 0) == S_OK)
        event.Skip(false);  // the host took it as an accelerator
}

void TWebHost::OnFocus(wxFocusEvent& event)
{
    event.Skip();
    if (event.GetEventType() == wxEVT_SET_FOCUS) {
        ComPtr<IOleCommandTarget> target;
        if (ComPtr<IDispatch> doc = Document())
            doc->QueryInterface(IOleCommandTarget::IID_, target.putVoid());
        ShowUI(0, nullptr, target.get(), nullptr, nullptr);
    } else {
        HideUI();
    }
}

void TWebHost::OnOwnerActivate(wxActivateEvent& event)
{
    event.Skip();
    OnFrameWindowActivate(event.GetActive());
    OnDocWindowActivate(event.GetActive());
}

void TWebHost::CloseRequested()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(*this, canClose);
    if (!canClose)
        return;
    // The page's window goes: the view stops and is hidden; its owner keeps the control.
    Stop();
    Hide();
    if (GetParent())
        GetParent()->Layout();
}

void TWebHost::GoBack()
{
    if (engine_)
        engine_->GoBack();
}

void TWebHost::GoForward()
{
    if (engine_)
        engine_->GoForward();
}

void TWebHost::Stop()
{
    if (engine_)
        engine_->Stop();
}

void TWebHost::RefreshPage()
{
    if (engine_)
        engine_->Reload();
}

std::string TWebHost::LocationURL() const { return engine_ ? engine_->Url() : ""; }

ComPtr<IDispatch> TWebHost::Document()
{
    if (!engine_)
        return nullptr;
    ComPtr<IHTMLDocument2> doc = web::MakeScriptDocument(engine_);
    return doc ? ComPtr<IDispatch>(doc.get()) : nullptr;
}

void TWebHost::Navigate2(const Variant& target)
{
    if (!engine_)
        return;
    // The engine starts with its first document and asks where its options are kept.
    engine_->OptionRoot = OptionRoot();
    if (const std::u16string* text = target.AsText()) {
        engine_->Load(web::NavigationUrl(Utf8FromWide(*text)));
        return;
    }
    if (const auto* bytes = target.AsBytes()) {
        auto list = shell::ItemIdList::FromBytes(bytes->data(), bytes->size());
        if (!list)
            return;
        std::string path = PathOfItemIdList(*list);
        if (!path.empty())
            engine_->Load(web::NavigationUrl(path));
    }
}

void TWebHost::AmbientPropertyChanged(DISPID)
{
    if (engine_)
        engine_->Apply(EngineSettings());
}

}  // namespace ql
