#include "components/shell/ShellDragPort_wx.h"

#include <chrono>

#include "components/shell/ShellScroll_wx.h"
#include "platform/gui/DragBridge_wx.h"

namespace ql::shellctl {

void TShellDragPort_wx::ClientGeometry(com::POINTL pt, int& x, int& y, int& width, int& height) const
{
    const wxPoint p = surface_.ScreenToClient(wxPoint(pt.x, pt.y));
    x = p.x;
    y = p.y;
    surface_.GetClientSize(&width, &height);
}

void TShellDragPort_wx::ScrollOneStep(int dx, int dy)
{
    if (dx)
        shellctl::ScrollOneStep(&control_, 0, dx < 0 ? ScrollCommand::LineUp : ScrollCommand::LineDown);
    if (dy)
        shellctl::ScrollOneStep(&control_, 1, dy < 0 ? ScrollCommand::LineUp : ScrollCommand::LineDown);
}

void TShellDragPort_wx::RepaintNow()
{
    control_.Refresh();
    control_.Update();
}

std::uint32_t TShellDragPort_wx::TickCount() const
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

com::HRESULT TShellDragPort_wx::DoDragDrop(com::IDataObject* data, com::IDropSource* source, com::DWORD okEffects,
                                           com::DWORD* effect)
{
    return ql::DoDragDrop(data, source, okEffects, effect, &surface_);
}

bool TShellDragPort_wx::RegisterDropTarget(com::IDropTarget* target)
{
    return ql::RegisterDragDrop(&surface_, target) == com::S_OK;
}

void TShellDragPort_wx::RevokeDropTarget() { ql::RevokeDragDrop(&surface_); }

}  // namespace ql::shellctl
