#pragma once
// The drag port of a shell control's window: the list and the tree both drag, take drops and
// auto-scroll through this one class.
#include <wx/window.h>

#include "components/shell/ShellDragPort.h"

namespace ql::shellctl {

class TShellDragPort_wx final : public ShellDragPort {
public:
    // `control` is scrolled and repainted; `surface` is the window that shows the items: drops
    // are registered on it, drags start from it and points are measured in it (the list's rows
    // window below its header, the tree itself). Both outlive the port.
    TShellDragPort_wx(wxWindow& control, wxWindow& surface) : control_(control), surface_(surface) {}

    void ClientGeometry(com::POINTL pt, int& x, int& y, int& width, int& height) const override;
    void ScrollOneStep(int dx, int dy) override;
    void RepaintNow() override;
    std::uint32_t TickCount() const override;
    com::HRESULT DoDragDrop(com::IDataObject* data, com::IDropSource* source, com::DWORD okEffects,
                            com::DWORD* effect) override;
    bool RegisterDropTarget(com::IDropTarget* target) override;
    void RevokeDropTarget() override;

private:
    wxWindow& control_;
    wxWindow& surface_;
};

}  // namespace ql::shellctl
