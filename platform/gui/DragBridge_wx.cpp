#include "platform/gui/DragBridge_wx.h"

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dnd.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/DragFormats.h"
#include "platform/core/DropFetchBudget.h"
#include "platform/core/DropSession.h"
#include "platform/gui/ImagePixels_wx.h"

namespace ql {

using namespace com;

namespace {

// Every target the conversion reads. The drop target asks only for these, and only for those
// the source offers; the browsers' private save targets are never among them.
const std::vector<std::string>& KnownTargets()
{
    static const std::vector<std::string> t{"text/html",      "chromium/x-renderer-taint",
                                            "text/x-moz-url", "_NETSCAPE_URL",
                                            "text/uri-list",  "text/plain;charset=utf-8",
                                            "UTF8_STRING",    "text/plain",
                                            "STRING",         "image/png",
                                            "image/jpeg",     "image/gif",
                                            "image/bmp",      "application/octet-stream"};
    return t;
}

DWORD EffectsFromGdk(GdkDragAction actions)
{
    DWORD e = 0;
    if (actions & GDK_ACTION_COPY)
        e |= DROPEFFECT_COPY;
    if (actions & GDK_ACTION_MOVE)
        e |= DROPEFFECT_MOVE;
    if (actions & GDK_ACTION_LINK)
        e |= DROPEFFECT_LINK;
    return e;
}

wxDragResult ToWx(DWORD effect)
{
    switch (effect) {
    case DROPEFFECT_COPY:
        return wxDragCopy;
    case DROPEFFECT_MOVE:
        return wxDragMove;
    case DROPEFFECT_LINK:
        return wxDragLink;
    default:
        return wxDragNone;
    }
}

DWORD FromWx(wxDragResult r)
{
    switch (r) {
    case wxDragCopy:
        return DROPEFFECT_COPY;
    case wxDragMove:
        return DROPEFFECT_MOVE;
    case wxDragLink:
        return DROPEFFECT_LINK;
    default:
        return DROPEFFECT_NONE;
    }
}

DWORD CurrentKeyState()
{
    wxMouseState m = wxGetMouseState();
    return KeyStateFrom(m.LeftIsDown(), m.MiddleIsDown(), m.RightIsDown(), m.ShiftDown(), m.ControlDown(), m.AltDown());
}

std::optional<std::string> SelectionBytes(GtkSelectionData* sd)
{
    if (!sd || gtk_selection_data_get_length(sd) < 0)
        return std::nullopt;
    const guchar* p = gtk_selection_data_get_data(sd);
    return std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(gtk_selection_data_get_length(sd)));
}

std::string AtomName(GdkAtom atom)
{
    gchar* n = gdk_atom_name(atom);
    std::string s = n ? n : "";
    g_free(n);
    return s;
}

// What one drop may spend waiting for the source's data, all targets together.
constexpr std::chrono::milliseconds kDropFetchBudget{3000};

// One target of the drag's selection, waited for at most `limit` while the event loop runs.
// Each fetch asks through a requestor of its own: a transfer still under way at the limit is
// dropped with it, so it holds up no later request (the toolkit allows one per requestor).
std::optional<std::string> FetchDragTarget(const std::string& target, std::chrono::milliseconds limit)
{
    if (limit.count() <= 0)
        return std::nullopt;
    struct Wait {
        GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
        std::optional<std::string> bytes;
        bool received = false, timedOut = false;
        ~Wait() { g_main_loop_unref(loop); }
    } wait;
    GtkWidget* requestor = gtk_invisible_new();
    const gulong handler = g_signal_connect(requestor, "selection-received",
                                            G_CALLBACK(+[](GtkWidget*, GtkSelectionData* sd, guint, gpointer p) {
                                                auto* w = static_cast<Wait*>(p);
                                                w->bytes = SelectionBytes(sd);
                                                w->received = true;
                                                g_main_loop_quit(w->loop);
                                            }),
                                            &wait);
    // A transfer from our own process completes inside the call.
    if (gtk_selection_convert(requestor, gdk_atom_intern_static_string("XdndSelection"),
                              gdk_atom_intern(target.c_str(), FALSE), gtk_get_current_event_time()) &&
        !wait.received) {
        const guint timer = g_timeout_add(
            static_cast<guint>(limit.count()),
            +[](gpointer p) -> gboolean {
                auto* w = static_cast<Wait*>(p);
                w->timedOut = true;
                g_main_loop_quit(w->loop);
                return G_SOURCE_REMOVE;
            },
            &wait);
        g_main_loop_run(wait.loop);
        if (!wait.timedOut)
            g_source_remove(timer);
    }
    g_signal_handler_disconnect(requestor, handler);
    gtk_widget_destroy(requestor);  // also ends a transfer still pending
    return wait.received ? wait.bytes : std::nullopt;
}

class BridgeDropTarget : public wxDropTarget {
public:
    BridgeDropTarget(wxWindow* window, IDropTarget* target)
        : window_(window), session_(std::make_shared<DropSession>(target))
    {
        auto* formats = new wxDataObjectComposite;  // owned by the drop target
        for (const std::string& t : KnownTargets())
            formats->Add(new wxCustomDataObject(wxDataFormat(wxString::FromUTF8(t))));
        SetDataObject(formats);
    }
    // Destroyed with its window, whose owner is likely going too: the owner hears nothing more.
    ~BridgeDropTarget() override { session_->Abandon(); }

    void Revoke() { session_->Cancel(); }

    // The target's handlers run inside these and may destroy the window, and this object with
    // it: each works on its own reference to the session.
    wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult) override
    {
        std::vector<std::string> targets;
        if (m_dragContext)
            for (GList* l = gdk_drag_context_list_targets(m_dragContext); l; l = l->next)
                targets.push_back(AtomName(GDK_POINTER_TO_ATOM(l->data)));
        auto data = MakeCom<XDragDataObject>(std::move(targets), DecodePicture);
        std::shared_ptr<DropSession> session = session_;
        return ToWx(session->Enter(data, CurrentKeyState(), Screen(x, y), Allowed()));
    }

    wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult) override
    {
        if (!session_->InDrag())
            return OnEnter(x, y, wxDragNone);
        std::shared_ptr<DropSession> session = session_;
        return ToWx(session->Over(CurrentKeyState(), Screen(x, y), Allowed()));
    }

    void OnLeave() override
    {
        session_->LeaveSoon();
        std::weak_ptr<DropSession> weak = session_;
        wxTheApp->CallAfter([weak] {
            if (auto s = weak.lock())
                s->FlushLeave();
        });
    }

    bool OnDrop(wxCoord, wxCoord) override { return session_->DropStarting(); }

    wxDragResult OnData(wxCoord x, wxCoord y, wxDragResult) override
    {
        // The toolkit has fetched one target already; the others come from the drag's
        // selection, converted while the source still waits for the drop to finish.
        std::optional<std::string> firstTarget;
        std::optional<std::string> firstBytes;
        if (m_dragData) {
            firstTarget = AtomName(gtk_selection_data_get_target(m_dragData));
            firstBytes = SelectionBytes(m_dragData);
        }
        // The user waits on these with the busy cursor, a few seconds at most in all: a source
        // that never delivers a target (a browser with a huge selection's markup) costs no more.
        std::optional<wxBusyCursor> busy;
        DropFetchBudget fetchInTime(
            [&busy](const std::string& target, std::chrono::milliseconds limit) {
                if (!busy)
                    busy.emplace();
                return FetchDragTarget(target, limit);
            },
            kDropFetchBudget);
        auto fetch = [&](const std::string& target) -> std::optional<std::string> {
            if (firstTarget && *firstTarget == target)
                return firstBytes;
            return fetchInTime(target);
        };
        POINTL pt = Screen(x, y);
        DWORD keys = CurrentKeyState(), allowed = Allowed();
        std::shared_ptr<DropSession> session = session_;
        return ToWx(session->Drop(fetch, keys, pt, allowed));
    }

private:
    POINTL Screen(wxCoord x, wxCoord y) const
    {
        wxPoint p = window_ ? window_->ClientToScreen(wxPoint(x, y)) : wxPoint(x, y);
        return POINTL{p.x, p.y};
    }
    DWORD Allowed() const
    {
        return m_dragContext ? EffectsFromGdk(gdk_drag_context_get_actions(m_dragContext)) : DROPEFFECT_COPY;
    }

    wxWeakRef<wxWindow> window_;
    std::shared_ptr<DropSession> session_;  // holds the reference on the drop target
};

// Our data object's formats as X11 targets, their bytes converted when a target asks.
class BridgeDataObject : public wxDataObject {
public:
    explicit BridgeDataObject(IDataObject* data) : data_(data)
    {
        std::vector<std::uint32_t> formats;
        ComPtr<IEnumFORMATETC> e;
        if (data->EnumFormatEtc(DATADIR_GET, e.put()) == S_OK && e) {
            FORMATETC f;
            ULONG n = 0;
            while (e->Next(1, &f, &n) == S_OK && n == 1)
                if (f.tymed & TYMED_HGLOBAL)
                    formats.push_back(f.cfFormat);
        }
        for (std::uint32_t cf : formats)
            for (const std::string& t : drag::TargetsForFormat(cf))
                if (!map_.count(t)) {
                    order_.push_back(t);
                    map_[t] = cf;
                }
    }

    bool Empty() const { return order_.empty(); }

    wxDataFormat GetPreferredFormat(Direction) const override
    {
        return order_.empty() ? wxDataFormat() : wxDataFormat(wxString::FromUTF8(order_.front()));
    }
    size_t GetFormatCount(Direction dir) const override { return dir == Get ? order_.size() : 0; }
    void GetAllFormats(wxDataFormat* formats, Direction dir) const override
    {
        if (dir != Get)
            return;
        for (std::size_t i = 0; i < order_.size(); ++i)
            formats[i] = wxDataFormat(wxString::FromUTF8(order_[i]));
    }
    size_t GetDataSize(const wxDataFormat& format) const override
    {
        auto bytes = Bytes(format);
        return bytes ? bytes->size() : 0;
    }
    bool GetDataHere(const wxDataFormat& format, void* buf) const override
    {
        auto bytes = Bytes(format);
        if (!bytes)
            return false;
        std::copy(bytes->begin(), bytes->end(), static_cast<char*>(buf));
        return true;
    }

private:
    std::optional<std::string> Bytes(const wxDataFormat& format) const
    {
        std::string target = format.GetId().utf8_string();
        auto it = map_.find(target);
        if (it == map_.end())
            return std::nullopt;
        if (auto c = cache_.find(target); c != cache_.end())
            return c->second;
        std::vector<std::uint8_t> block;
        std::optional<std::string> bytes;
        if (FetchHGlobal(data_.get(), static_cast<CLIPFORMAT>(it->second), block))
            bytes = drag::TargetBytesFromFormat(it->second, block, target);
        cache_[target] = bytes;
        return bytes;
    }

    ComPtr<IDataObject> data_;
    std::vector<std::string> order_;
    std::map<std::string, std::uint32_t> map_;
    mutable std::map<std::string, std::optional<std::string>> cache_;
};

class BridgeDropSource : public wxDropSource {
public:
    BridgeDropSource(wxWindow* origin, IDropSource* source) : wxDropSource(origin), source_(source) {}

    bool GiveFeedback(wxDragResult effect) override
    {
        if (!source_)
            return false;
        // Escape and the release of the button are handled by the toolkit; the source decides
        // on everything else (another button pressed cancels a drag, for instance).
        if (source_->QueryContinueDrag(false, CurrentKeyState()) == DRAGDROP_S_CANCEL && m_dragContext)
            gtk_drag_cancel(m_dragContext);
        return source_->GiveFeedback(FromWx(effect)) == S_OK;
    }

private:
    ComPtr<IDropSource> source_;
};

// GTK finds the widget under a drop from its toplevel's root position as GDK stores it, which
// GDK learns from configure events. Under a reparenting window manager a window placed before
// it was mapped gets none for the map and keeps a stale position, so GTK looks every drop up at
// the wrong place and refuses it before our target hears of it. Asking once more, when mapped,
// for the place the window already has makes the manager confirm it with a configure event.
void ConfirmPosition(GtkWidget* toplevel)
{
    GdkWindow* window = gtk_widget_get_window(toplevel);
    if (!window)
        return;
    int storedX = 0, storedY = 0, x = 0, y = 0;
    gdk_window_get_position(window, &storedX, &storedY);
    gdk_window_get_origin(window, &x, &y);  // asks the X server
    if (storedX == x && storedY == y)
        return;
    int frameX = 0, frameY = 0;
    gtk_window_get_position(GTK_WINDOW(toplevel), &frameX, &frameY);
    gtk_window_move(GTK_WINDOW(toplevel), frameX, frameY);
}

void ConfirmPositionWhenMapped(wxWindow* window)
{
    wxWindow* top = wxGetTopLevelParent(window);
    GtkWidget* toplevel = top ? top->GetHandle() : nullptr;
    static const char kKey[] = "quillory-confirm-position";
    if (!toplevel || !GTK_IS_WINDOW(toplevel) || g_object_get_data(G_OBJECT(toplevel), kKey))
        return;
    g_object_set_data(G_OBJECT(toplevel), kKey, GINT_TO_POINTER(1));
    g_signal_connect(toplevel, "map-event", G_CALLBACK(+[](GtkWidget* w, GdkEvent*, gpointer) -> gboolean {
                         ConfirmPosition(w);
                         return FALSE;
                     }),
                     nullptr);
    if (gtk_widget_get_mapped(toplevel))
        ConfirmPosition(toplevel);
}

}  // namespace

HRESULT RegisterDragDrop(wxWindow* window, IDropTarget* target)
{
    if (!window)
        return DRAGDROP_E_INVALIDHWND;
    if (!target)
        return E_INVALIDARG;
    if (dynamic_cast<BridgeDropTarget*>(window->GetDropTarget()))
        return DRAGDROP_E_ALREADYREGISTERED;
    window->SetDropTarget(new BridgeDropTarget(window, target));  // the window owns it
    ConfirmPositionWhenMapped(window);
    return S_OK;
}

HRESULT RegisterDragDrop(wxWindow* window, GtkWidget* dropSite, IDropTarget* target)
{
    HRESULT hr = RegisterDragDrop(window, target);
    if (hr != S_OK || !dropSite || dropSite == window->GetHandle())
        return hr;
    wxDropTarget* bridge = window->GetDropTarget();
    bridge->GtkUnregisterWidget(window->GetHandle());
    bridge->GtkRegisterWidget(dropSite);
    return S_OK;
}

HRESULT RevokeDragDrop(wxWindow* window, GtkWidget* dropSite)
{
    if (window && dropSite && dropSite != window->GetHandle())
        if (auto* bridge = dynamic_cast<BridgeDropTarget*>(window->GetDropTarget()))
            bridge->GtkUnregisterWidget(dropSite);
    return RevokeDragDrop(window);
}

HRESULT RevokeDragDrop(wxWindow* window)
{
    if (!window)
        return DRAGDROP_E_INVALIDHWND;
    auto* target = dynamic_cast<BridgeDropTarget*>(window->GetDropTarget());
    if (!target)
        return DRAGDROP_E_NOTREGISTERED;
    target->Revoke();
    window->SetDropTarget(nullptr);
    return S_OK;
}

HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD okEffects, DWORD* effect, wxWindow* origin)
{
    if (!data || !source || !effect)
        return E_INVALIDARG;
    *effect = DROPEFFECT_NONE;
    if (!origin)
        origin = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    if (!origin)
        return E_UNEXPECTED;
    BridgeDataObject object(data);
    if (object.Empty())
        return E_UNEXPECTED;
    BridgeDropSource drag(origin, source);
    drag.SetData(object);
    // The toolkit offers a drag as copy, or copy and move; a link-only drag goes as a copy.
    int flags = (okEffects & DROPEFFECT_MOVE) ? wxDrag_AllowMove : wxDrag_CopyOnly;
    wxDragResult r = drag.DoDragDrop(flags);
    if (r == wxDragError)
        return E_UNEXPECTED;
    DWORD performed = FromWx(r);
    if (performed == DROPEFFECT_NONE)
        return DRAGDROP_S_CANCEL;
    // The target has the data now, whatever the effect: that is a drop, never a cancel.
    *effect = StartedDragEffect(performed, okEffects);
    return DRAGDROP_S_DROP;
}

bool SetClipboardData(IDataObject* data)
{
    if (!data)
        return false;
    auto object = std::make_unique<BridgeDataObject>(data);
    if (object->Empty() || !wxTheClipboard->Open())
        return false;
    bool set = wxTheClipboard->SetData(object.release());  // the clipboard owns it from here
    wxTheClipboard->Close();
    return set;
}

bool DecodePicture(std::string_view bytes, RgbaImage& out)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_JPEG))
        wxImage::AddHandler(new wxJPEGHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_GIF))
        wxImage::AddHandler(new wxGIFHandler);
    wxLogNull quiet;
    wxMemoryInputStream in(bytes.data(), bytes.size());
    wxImage image;
    if (!image.LoadFile(in, wxBITMAP_TYPE_ANY) || !image.IsOk())
        return false;
    out = ImagePixels(image);
    return true;
}

}  // namespace ql
