#pragma once
// A wx window as the target window of a TVekOLEDrop.
#include <memory>

#include "foundation/VekOLEDrop.h"

class wxWindow;

namespace ql {

// Registers with the window while it exists; a window destroyed first simply ends the
// registration.
std::unique_ptr<DropTargetWindow> WxDropTargetWindow(wxWindow* window);

}  // namespace ql
