#pragma once
// Drag and drop between programs on X11, presented through the drop target / data object /
// drop source interfaces: a window registered with RegisterDragDrop gets its IDropTarget
// driven by the X11 drags that pass it; DoDragDrop starts a drag of an IDataObject.
#include <string_view>

#include "platform/core/Dib.h"
#include "platform/core/com/DragDrop.h"

class wxWindow;
typedef struct _GtkWidget GtkWidget;

namespace ql {

// Attaches a drop target to the window (the window keeps a reference to `target` until it is
// revoked or destroyed; a window destroyed during a drag ends it without another call to the
// target). DRAGDROP_E_ALREADYREGISTERED when the window has one of ours already,
// DRAGDROP_E_INVALIDHWND / E_INVALIDARG for a missing window or target.
com::HRESULT RegisterDragDrop(wxWindow* window, com::IDropTarget* target);
// Detaches it; a drag still over the window gets its DragLeave. DRAGDROP_E_NOTREGISTERED when
// the window has none of ours.
com::HRESULT RevokeDragDrop(wxWindow* window);

// The same for a window whose drags arrive at a native widget inside it (the engine's widget
// in a web view): the target is driven by that widget's drags.
com::HRESULT RegisterDragDrop(wxWindow* window, GtkWidget* dropSite, com::IDropTarget* target);
com::HRESULT RevokeDragDrop(wxWindow* window, GtkWidget* dropSite);

// Drags the data object's formats (those that have an X11 form: text, file lists, HTML, URLs)
// from `origin` until the user drops or cancels. DRAGDROP_S_DROP once the target has the data,
// with its effect as StartedDragEffect reports it (a link-only drag is offered as a copy and
// reported as a link), or DRAGDROP_S_CANCEL with DROPEFFECT_NONE; E_UNEXPECTED when the drag
// could not run.
com::HRESULT DoDragDrop(com::IDataObject* data, com::IDropSource* source, com::DWORD okEffects, com::DWORD* effect,
                        wxWindow* origin);

// Puts the data object's formats on the clipboard, offered as a drag we start offers them;
// false when it has none of them or the clipboard cannot be had.
bool SetClipboardData(com::IDataObject* data);

// Pictures (PNG, JPEG, GIF, BMP) decoded to pixels with the toolkit's decoders.
bool DecodePicture(std::string_view bytes, RgbaImage& out);

}  // namespace ql
