#pragma once
// TWebHost: the browser host control, a web view with the host side of TWebHostCore. The
// option sets go to the engine through the same questions the browser asks its host (the
// download-control ambient property, the host information); page scripts, pictures, media,
// selection, scroll bars, the user-agent token and where followed links open follow from
// them. The engine's hooks (context menu, script dialogs, navigation, window close, focus,
// keys, link hover) raise the document-host callbacks. The windows that take the activation
// from the owner window are watched, the program's own dialogs and the engine's alike
// (WebHostDialogs_wx.cpp).
#include "components/browserhost/WebHostCore.h"
#include "platform/gui/ToplevelWatch_wx.h"

#include <wx/panel.h>
#include <wx/weakref.h>

#include <functional>
#include <memory>
#include <string>

class wxKeyEvent;
class wxActivateEvent;
class wxFocusEvent;
class wxSizeEvent;
class wxTopLevelWindow;
typedef struct _GtkWindow GtkWindow;

namespace ql {

namespace web {
class WebViewEngine;
class SelectionWatch;
}  // namespace web
class DdeWindow;

class TWebHost : public wxPanel, public TWebHostCore {
public:
    TWebHost(wxWindow* parent, Launcher& launcher, wxWindowID id = wxID_ANY);
    ~TWebHost() override;

    // False when no web view could be made here; the control then shows nothing and its
    // operations do nothing.
    bool Ok() const { return engine_ != nullptr; }

    void GoBack();
    void GoForward();
    void Stop();
    void RefreshPage();
    std::string LocationURL() const;
    com::ComPtr<com::IDispatch> Document() override;

    std::function<void(const std::string& text)> OnStatusTextChange;
    std::function<void(com::IDispatch* document, const std::string& url)> OnDocumentComplete;
    // The page asked to close its window: canClose false keeps the view.
    std::function<void(TWebHost& sender, bool& canClose)> OnCloseQuery;
    // A window took the activation from the owner window: one of the program's (its own, or a
    // dialog of the engine or the toolkit), or another program's.
    std::function<void(TWebHost& sender, const web::DesktopWindow& window)> OnShowDialog;

    // The engine's page-setup dialog for its own page setup, modal; false when cancelled.
    // Armed by PageSetupPending, the dialog is filled with PrintOptions and confirmed.
    bool ShowPageSetupDialog();

    web::WebViewEngine* Engine() { return engine_.get(); }

protected:
    void Navigate2(const com::Variant& target) override;
    void AmbientPropertyChanged(com::DISPID id) override;
    void DocumentCommandIssued(std::uint32_t cmdId) override;

private:
    class DialogWatch;
    void HookEngine();
    void WatchDialogs();
    // WebHostMoments_wx.cpp: selection changes, resizes.
    void WatchMoments();
    void UnwatchMoments();
    void OnResized(wxSizeEvent& event);
    // WebHostClipboard_wx.cpp: what the engine puts on the clipboard (FilterDataObject).
    void WatchClipboard();
    void UnwatchClipboard();
    void ClipboardChanged();
    void FilterClipboard();
    // WebHostDrops_wx.cpp: a drag over the view asks GetDropTarget for the host's own target.
    void WatchDrags();
    void UnwatchDrags();
    // WebHostServices_wx.cpp: credentials a page asks for come from the host's IAuthenticate.
    void WatchServiceRequests();
    bool Authenticate(void* engineRequest);
    bool DragArrived(void* dragContext);
    void OnKey(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);
    void OnOwnerActivate(wxActivateEvent& event);
    void WindowActivated(GtkWindow* window);
    void OtherProgramActivated(unsigned long window);
    void ReplaceCaptionOf(GtkWindow* dialog);
    void CloseRequested();

    std::unique_ptr<DdeWindow> ddeWindow_;
    std::shared_ptr<web::WebViewEngine> engine_;
    wxWeakRef<wxTopLevelWindow> owner_;
    std::unique_ptr<DialogWatch> dialogWatch_;
    std::unique_ptr<web::SelectionWatch> selectionWatch_;
    bool updateUIPending_ = false;
    unsigned long clipboardHandler_ = 0;
    long long copyIssuedAt_ = 0;       // when a cut or copy went to the document (ms), 0: none
    bool ownClipboardChange_ = false;  // the next change is the filtered data we put there
    void* askedForDrag_ = nullptr;     // the drag GetDropTarget was asked for, until it leaves
    bool hostDropTarget_ = false;      // the host's own target takes the drags
    std::string translatedTarget_;     // a translated URL being loaded is not translated again
};

}  // namespace ql
