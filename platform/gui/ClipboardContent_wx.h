#pragma once
// The clipboard as the drop code sees a drag: its targets offered in our clipboard formats,
// their bytes fetched when a format is asked for.
#include "platform/core/DragFormats.h"

namespace ql {

// Whether a window of this process holds the clipboard.
bool ClipboardOwnedHere();

// The clipboard's content as a data object whose GetData works until EndDrop; nullptr when the
// clipboard offers nothing.
com::ComPtr<XDragDataObject> ClipboardContent();

}  // namespace ql
