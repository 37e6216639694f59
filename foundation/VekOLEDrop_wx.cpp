#include "foundation/VekOLEDrop_wx.h"

#include <wx/weakref.h>
#include <wx/window.h>

#include "platform/gui/DragBridge_wx.h"

namespace ql {

namespace {

class WxTargetWindow : public DropTargetWindow {
public:
    explicit WxTargetWindow(wxWindow* w) : window_(w) {}
    com::HRESULT RegisterDragDrop(com::IDropTarget* target) override
    {
        return window_ ? ql::RegisterDragDrop(window_.get(), target) : com::DRAGDROP_E_INVALIDHWND;
    }
    com::HRESULT RevokeDragDrop() override
    {
        return window_ ? ql::RevokeDragDrop(window_.get()) : com::DRAGDROP_E_INVALIDHWND;
    }

private:
    wxWeakRef<wxWindow> window_;
};

}  // namespace

std::unique_ptr<DropTargetWindow> WxDropTargetWindow(wxWindow* window)
{
    return std::make_unique<WxTargetWindow>(window);
}

}  // namespace ql
