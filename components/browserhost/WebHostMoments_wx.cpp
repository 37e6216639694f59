// The engine's moments that raise document-host callbacks outside the engine's hooks: the
// document's selection or the engine's command state changed (UpdateUI), and the host or its
// owner window changed size (ResizeBorder, with the new client rectangle).
#include "components/browserhost/WebHost_wx.h"

#include "platform/gui/SelectionWatch_wx.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <wx/toplevel.h>

namespace ql {

void TWebHost::WatchMoments()
{
    wxWeakRef<TWebHost> self(this);
    // Reported once per turn of the event loop, outside the engine's signal.
    selectionWatch_ = std::make_unique<web::SelectionWatch>(engine_->Native(), [this, self] {
        if (updateUIPending_)
            return;
        updateUIPending_ = true;
        CallAfter([self] {
            if (!self)
                return;
            self->updateUIPending_ = false;
            self->UpdateUI();
        });
    });
    Bind(wxEVT_SIZE, &TWebHost::OnResized, this);
    if (owner_)
        owner_->Bind(wxEVT_SIZE, &TWebHost::OnResized, this);
}

void TWebHost::UnwatchMoments()
{
    selectionWatch_.reset();
    if (owner_)
        owner_->Unbind(wxEVT_SIZE, &TWebHost::OnResized, this);
}

void TWebHost::OnResized(wxSizeEvent& event)
{
    event.Skip();
    auto* window = wxDynamicCast(event.GetEventObject(), wxWindow);
    if (!window)
        return;
    const wxSize client = window->GetClientSize();
    const dochost::RECT border{0, 0, client.x, client.y};
    ResizeBorder(&border, nullptr, window == owner_.get());
}

}  // namespace ql
