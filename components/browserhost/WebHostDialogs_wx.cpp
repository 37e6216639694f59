// The windows that take the activation from the browser host's owner window: the program's
// own dialogs and those the engine and the toolkit open (print, page setup), and other
// programs' windows. A dialog box of the program may get its caption and icon, a page-setup
// dialog may be filled and confirmed, and the host hears of each. The engine's modal dialogs on the owner tell the host
// to keep its own modeless windows still (EnableModeless).
#include "components/browserhost/WebHostDialogs_wx.h"

#include "platform/gui/PageSetupDialog_wx.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/toplevel.h>

namespace ql {

TWebHost::DialogWatch::DialogWatch(TWebHost* host) : host_(host)
{
    owner_ = GTK_WINDOW(host->owner_->GetHandle());
    armed_ = gtk_window_is_active(owner_);
    watch_.OnActivated = [this](GtkWindow* w) { Activated(w); };
    watch_.OnShown = [this](GtkWindow* w) { Shown(w); };
    watch_.OnHidden = [this](GtkWindow* w) { Hidden(w); };
    watch_.OnOtherProgramActivated = [this](unsigned long w) { OtherProgramActivated(w); };
}

// Another program's window: only reported. Its caption is its program's, and the engine's
// dialogs are always the program's own windows.
void TWebHost::DialogWatch::OtherProgramActivated(unsigned long window)
{
    if (!armed_)
        return;
    armed_ = false;
    wxWeakRef<TWebHost> host(host_);
    host_->CallAfter([host, window] {
        if (host)
            host->OtherProgramActivated(window);
    });
}

// Reported once the toolkit is idle again: the report may show, fill or close the window.
void TWebHost::DialogWatch::Activated(GtkWindow* window)
{
    if (window == owner_) {
        armed_ = true;
        return;
    }
    if (!armed_)
        return;
    armed_ = false;
    struct Report {
        wxWeakRef<TWebHost> host;
        GtkWindow* window;
    };
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer p) -> gboolean {
            auto* r = static_cast<Report*>(p);
            if (r->host && gtk_widget_get_mapped(GTK_WIDGET(r->window)))
                r->host->WindowActivated(r->window);
            return G_SOURCE_REMOVE;
        },
        new Report{host_, GTK_WINDOW(g_object_ref(window))},
        [](gpointer p) {
            auto* r = static_cast<Report*>(p);
            g_object_unref(r->window);
            delete r;
        });
}

bool TWebHost::DialogWatch::EngineModal(GtkWindow* window) const
{
    return web::IsModalWindow(window) && !web::ProgramWindow(window) && gtk_window_get_transient_for(window) == owner_;
}

void TWebHost::DialogWatch::Shown(GtkWindow* window)
{
    if (EngineModal(window) && modal_.insert(window).second && modal_.size() == 1)
        host_->EnableModeless(false);
}

void TWebHost::DialogWatch::Hidden(GtkWindow* window)
{
    if (modal_.erase(window) && modal_.empty())
        host_->EnableModeless(true);
}

void TWebHost::WatchDialogs() { dialogWatch_ = std::make_unique<DialogWatch>(this); }

void TWebHost::ReplaceCaptionOf(GtkWindow* dialog)
{
    if (owner_) {
        GList* icons = gtk_window_get_icon_list(GTK_WINDOW(owner_->GetHandle()));
        gtk_window_set_icon_list(dialog, icons);
        g_list_free(icons);
    }
    const char* title = gtk_window_get_title(dialog);
    std::string caption = ReplaceDialogCaption(title ? title : "", wxTheApp->GetAppDisplayName().utf8_string());
    if (wxTopLevelWindow* own = web::ProgramWindow(dialog))
        own->SetTitle(wxString::FromUTF8(caption));  // the wx window keeps its own copy
    else
        gtk_window_set_title(dialog, caption.c_str());
}

void TWebHost::WindowActivated(GtkWindow* window)
{
    if (web::IsDialogWindow(window)) {
        if (ReplaceCaption)
            ReplaceCaptionOf(window);
        if (PageSetupPending) {
            PageSetupPending = false;
            if (HidePageSetupDialog) {
                web::MoveOutOfSight(window);
                HidePageSetupDialog = false;
            }
            web::FillPageSetupDialog(window, PageSetupOf(PrintOptions));
        }
    }
    if (!HidePageSetupDialog && OnShowDialog)
        OnShowDialog(*this, web::DesktopWindowOf(window));
}

void TWebHost::OtherProgramActivated(unsigned long window)
{
    if (OnShowDialog)
        OnShowDialog(*this, web::DesktopWindow{nullptr, window});
}

bool TWebHost::ShowPageSetupDialog()
{
    if (!engine_)
        return false;
    engine_->OptionRoot = OptionRoot();
    return web::RunPageSetupDialog(this, engine_->OptionRoot);
}

}  // namespace ql
