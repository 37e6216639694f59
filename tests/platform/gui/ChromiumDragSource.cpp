#include "tests/platform/gui/ChromiumDragSource.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <gdk/gdkx.h>
#include <glib-unix.h>

#include <cstdlib>
#include <map>
#include <memory>

namespace ql::test {

namespace {

constexpr int kXdndVersion = 5;
constexpr int kDragThreshold = 4;
constexpr guint kFinishTimeoutMs = 10000;

// One shape kind of one window as the drag last read it.
struct CachedShape {
    bool read = false;
    bool unknown = false;  // the request failed: the window counts as holding every point
    std::vector<XRectangle> rects;
};

struct CachedWindow {
    bool selected = false;  // for its shape events
    CachedShape bounding, input;
};

int g_xerror = 0;
int CountError(Display*, XErrorEvent*)
{
    ++g_xerror;
    return 0;
}

class ChromiumDrag {
public:
    ChromiumDrag(GtkWidget* widget, const std::vector<std::string>& targets, ChromiumDragHooks hooks)
        : widget_(widget), hooks_(std::move(hooks))
    {
        // The protocol runs on a connection of its own, as Chromium's does: the toolkit's would
        // swallow the replies, having no drag of its own to match them to. Only the selection's
        // data is served by the toolkit.
        display_ = XOpenDisplay(gdk_display_get_name(gdk_display_get_default()));
        if (!display_)
            std::abort();
        int error = 0;
        XShapeQueryExtension(display_, &shapeEvent_, &error);
        source_ = XCreateWindow(display_, DefaultRootWindow(display_), -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                                CopyFromParent, 0, nullptr);
        for (const char* name :
             {"XdndAware", "XdndProxy", "XdndEnter", "XdndPosition", "XdndStatus", "XdndLeave", "XdndDrop",
              "XdndFinished", "XdndActionCopy", "XdndActionMove", "XdndActionLink", "XdndActionList", "XdndTypeList",
              "XdndSelection", "_NET_CLIENT_LIST_STACKING", "_NET_FRAME_EXTENTS"})
            atoms_[name] = XInternAtom(display_, name, False);
        for (const std::string& t : targets)
            types_.push_back(XInternAtom(display_, t.c_str(), False));
        XChangeProperty(display_, source_, atoms_["XdndTypeList"], XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(types_.data()), static_cast<int>(types_.size()));
        // The operations a page's selection may be dragged for; the position asks for a copy.
        const Atom actions[] = {atoms_["XdndActionCopy"], atoms_["XdndActionMove"], atoms_["XdndActionLink"]};
        XChangeProperty(display_, source_, atoms_["XdndActionList"], XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(actions), 3);
        XFlush(display_);
        g_unix_fd_add(
            ConnectionNumber(display_), G_IO_IN,
            +[](int, GIOCondition, gpointer self) -> gboolean {
                static_cast<ChromiumDrag*>(self)->ReadEvents();
                return G_SOURCE_CONTINUE;
            },
            this);

        const GdkAtom selection = gdk_atom_intern_static_string("XdndSelection");
        for (std::size_t i = 0; i < targets.size(); ++i)
            gtk_selection_add_target(widget_, selection, gdk_atom_intern(targets[i].c_str(), FALSE),
                                     static_cast<guint>(i));
        g_signal_connect(widget_, "selection-get",
                         G_CALLBACK(+[](GtkWidget*, GtkSelectionData* sd, guint, guint, gpointer self) {
                             static_cast<ChromiumDrag*>(self)->hooks_.dataGet(sd);
                         }),
                         this);
        gtk_widget_add_events(widget_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
        g_signal_connect(widget_, "button-press-event", G_CALLBACK(OnPress), this);
        g_signal_connect(widget_, "motion-notify-event", G_CALLBACK(OnMotion), this);
        g_signal_connect(widget_, "button-release-event", G_CALLBACK(OnRelease), this);
    }

private:
    static gboolean OnPress(GtkWidget*, GdkEventButton* e, gpointer p)
    {
        auto* self = static_cast<ChromiumDrag*>(p);
        if (e->button == 1 && !self->dragging_) {
            self->pressed_ = true;
            self->pressX_ = static_cast<int>(e->x_root);
            self->pressY_ = static_cast<int>(e->y_root);
        }
        return TRUE;
    }
    static gboolean OnMotion(GtkWidget*, GdkEventMotion* e, gpointer p)
    {
        auto* self = static_cast<ChromiumDrag*>(p);
        const int x = static_cast<int>(e->x_root), y = static_cast<int>(e->y_root);
        if (self->pressed_ && !self->dragging_ &&
            (std::abs(x - self->pressX_) >= kDragThreshold || std::abs(y - self->pressY_) >= kDragThreshold))
            self->Begin(reinterpret_cast<GdkEvent*>(e));
        if (self->dragging_) {
            self->Motion(x, y, e->time);
            // The lookups' round trips read the target's answers into the queue, where no
            // readable socket would announce them.
            self->ReadEvents();
        }
        return TRUE;
    }
    static gboolean OnRelease(GtkWidget*, GdkEventButton* e, gpointer p)
    {
        auto* self = static_cast<ChromiumDrag*>(p);
        self->pressed_ = false;
        if (e->button == 1 && self->dragging_) {
            self->Release(e->time);
            self->ReadEvents();
        }
        return TRUE;
    }

    void Begin(GdkEvent* event)
    {
        dragging_ = true;
        cache_.clear();
        gtk_selection_owner_set(widget_, gdk_atom_intern_static_string("XdndSelection"), gdk_event_get_time(event));
        // Pointer and keyboard, as Chromium grabs both for the drag (Escape ends it).
        gdk_seat_grab(gdk_display_get_default_seat(gdk_display_get_default()), gtk_widget_get_window(widget_),
                      GDK_SEAT_CAPABILITY_ALL, FALSE, nullptr, event, nullptr, nullptr);
        hooks_.report("begin");
    }

    void Motion(int x, int y, guint32 time)
    {
        x_ = x;
        y_ = y;
        time_ = time;
        const Window found = FindTarget(x, y);
        if (found != target_) {
            if (target_)
                Send(target_, "XdndLeave", 0, 0, 0, 0);
            target_ = found;
            accepted_ = waiting_ = pending_ = false;
            if (target_) {
                const long more = types_.size() > 3 ? 1 : 0;
                Send(target_, "XdndEnter", (kXdndVersion << 24) | more, TypeAt(0), TypeAt(1), TypeAt(2));
            }
        }
        if (!target_)
            return;
        if (waiting_)
            pending_ = true;  // sent when the status of the last one comes
        else
            SendPosition();
    }

    void Release(guint32 time)
    {
        gdk_seat_ungrab(gdk_display_get_default_seat(gdk_display_get_default()));
        time_ = time;
        if (!target_)
            End();
        else if (waiting_)
            dropWaits_ = true;
        else
            Finish();
    }

    void Finish()
    {
        dropWaits_ = false;
        if (!accepted_) {
            Send(target_, "XdndLeave", 0, 0, 0, 0);
            End();
            return;
        }
        Send(target_, "XdndDrop", 0, static_cast<long>(time_), 0, 0);
        finishTimer_ = g_timeout_add(
            kFinishTimeoutMs,
            +[](gpointer self) -> gboolean {
                static_cast<ChromiumDrag*>(self)->finishTimer_ = 0;
                static_cast<ChromiumDrag*>(self)->End();
                return G_SOURCE_REMOVE;
            },
            this);
    }

    void End()
    {
        if (finishTimer_)
            g_source_remove(finishTimer_);
        finishTimer_ = 0;
        dragging_ = waiting_ = pending_ = accepted_ = dropWaits_ = false;
        target_ = 0;
        hooks_.report("end");
    }

    void SendPosition()
    {
        sentX_ = x_;
        sentY_ = y_;
        Send(target_, "XdndPosition", 0, (static_cast<long>(x_) << 16) | (y_ & 0xFFFF), static_cast<long>(time_),
             static_cast<long>(atoms_["XdndActionCopy"]));
        waiting_ = true;
        pending_ = false;
    }

    long TypeAt(std::size_t i) const { return i < types_.size() ? static_cast<long>(types_[i]) : 0; }

    void Send(Window to, const char* message, long l1, long l2, long l3, long l4)
    {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.display = display_;
        e.xclient.window = to;
        e.xclient.message_type = atoms_[message];
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(source_);
        e.xclient.data.l[1] = l1;
        e.xclient.data.l[2] = l2;
        e.xclient.data.l[3] = l3;
        e.xclient.data.l[4] = l4;
        XSendEvent(display_, to, False, NoEventMask, &e);
        XFlush(display_);
    }

    void ReadEvents()
    {
        while (XPending(display_)) {
            XEvent e;
            XNextEvent(display_, &e);
            if (e.type == shapeEvent_ + ShapeNotify) {
                const auto& s = reinterpret_cast<const XShapeEvent&>(e);
                auto it = cache_.find(s.window);
                if (it != cache_.end())
                    (s.kind == ShapeBounding ? it->second.bounding : it->second.input).read = false;
            } else if (e.type == ClientMessage && e.xclient.window == source_ && dragging_) {
                if (e.xclient.message_type == atoms_["XdndStatus"] &&
                    static_cast<Window>(e.xclient.data.l[0]) == target_) {
                    waiting_ = false;
                    accepted_ = (e.xclient.data.l[1] & 1) != 0;
                    if (hooks_.answered)
                        hooks_.answered(sentX_, sentY_, accepted_);
                    if (dropWaits_)
                        Finish();
                    else if (pending_)
                        SendPosition();
                } else if (e.xclient.message_type == atoms_["XdndFinished"]) {
                    End();
                }
            }
        }
    }

    // ---- finding the target --------------------------------------------------------------

    std::vector<Window> TopmostFirst()
    {
        std::vector<Window> windows;
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, DefaultRootWindow(display_), atoms_["_NET_CLIENT_LIST_STACKING"], 0, 4096,
                               False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
            data && format == 32) {
            const auto* list = reinterpret_cast<const unsigned long*>(data);
            windows.assign(list, list + count);
        }
        if (data)
            XFree(data);
        if (windows.empty()) {  // no window manager: the root's children
            Window root = 0, parent = 0, *children = nullptr;
            unsigned n = 0;
            if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &n) && children)
                windows.assign(children, children + n);
            if (children)
                XFree(children);
        }
        return {windows.rbegin(), windows.rend()};
    }

    const CachedShape& Shape(Window w, int kind)
    {
        CachedWindow& cached = cache_[w];
        if (!cached.selected) {
            XShapeSelectInput(display_, w, ShapeNotifyMask);
            cached.selected = true;
        }
        CachedShape& shape = kind == ShapeBounding ? cached.bounding : cached.input;
        if (!shape.read) {
            g_xerror = 0;
            int n = 0, ordering = 0;
            XRectangle* rects = XShapeGetRectangles(display_, w, kind, &n, &ordering);
            XSync(display_, False);
            shape.rects.assign(rects, rects + (rects ? n : 0));
            shape.unknown = g_xerror != 0;
            shape.read = true;
            if (rects)
                XFree(rects);
        }
        return shape;
    }

    bool Holds(Window w, int x, int y)
    {
        XWindowAttributes attrs;
        Window child = 0;
        int left = 0, top = 0;
        if (!XGetWindowAttributes(display_, w, &attrs) || attrs.map_state != IsViewable ||
            !XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &left, &top, &child))
            return false;
        long extents[4] = {0, 0, 0, 0};  // the frame around the client: left, right, top, bottom
        ReadLongs(w, atoms_["_NET_FRAME_EXTENTS"], XA_CARDINAL, extents, 4);
        if (x < left - extents[0] || y < top - extents[2] || x >= left + attrs.width + extents[1] ||
            y >= top + attrs.height + extents[3])
            return false;
        for (int kind : {ShapeInput, ShapeBounding}) {
            const CachedShape& shape = Shape(w, kind);
            if (shape.unknown)
                continue;
            bool inside = false;
            for (const XRectangle& r : shape.rects)
                inside = inside ||
                         (x >= left + r.x && y >= top + r.y && x < left + r.x + r.width && y < top + r.y + r.height);
            if (!inside)
                return false;
        }
        return true;
    }

    bool ReadLongs(Window w, Atom property, Atom wanted, long* out, unsigned long n)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        g_xerror = 0;
        const bool ok = XGetWindowProperty(display_, w, property, 0, static_cast<long>(n), False, wanted, &type,
                                           &format, &count, &after, &data) == Success &&
                        data && format == 32 && count == n && g_xerror == 0;
        if (ok)
            for (unsigned long i = 0; i < n; ++i)
                out[i] = reinterpret_cast<const long*>(data)[i];
        if (data)
            XFree(data);
        return ok;
    }

    // The window under the point that takes drops, or 0: only the topmost window holding the
    // point is asked, through its proxy when it names one.
    Window FindTarget(int x, int y)
    {
        XErrorHandler previous = XSetErrorHandler(CountError);
        Window found = 0;
        for (Window w : TopmostFirst()) {
            if (!Holds(w, x, y))
                continue;
            long proxy = 0, version = 0;
            if (ReadLongs(w, atoms_["XdndProxy"], XA_WINDOW, &proxy, 1) && proxy)
                w = static_cast<Window>(proxy);
            if (ReadLongs(w, atoms_["XdndAware"], XA_ATOM, &version, 1) && version >= kXdndVersion)
                found = w;
            break;
        }
        XSync(display_, False);
        XSetErrorHandler(previous);
        return found;
    }

    GtkWidget* widget_;
    ChromiumDragHooks hooks_;
    Display* display_ = nullptr;
    Window source_ = 0;
    int shapeEvent_ = 0;
    std::map<std::string, Atom> atoms_;
    std::vector<Atom> types_;
    std::map<Window, CachedWindow> cache_;
    bool pressed_ = false, dragging_ = false;
    int pressX_ = 0, pressY_ = 0;
    Window target_ = 0;
    bool waiting_ = false, pending_ = false, accepted_ = false, dropWaits_ = false;
    int x_ = 0, y_ = 0;
    int sentX_ = 0, sentY_ = 0;  // the position the target answers next
    guint32 time_ = 0;
    guint finishTimer_ = 0;
};

}  // namespace

void MakeChromiumDragSource(GtkWidget* widget, const std::vector<std::string>& targets, ChromiumDragHooks hooks)
{
    static std::unique_ptr<ChromiumDrag> drag;  // lives as long as the helper
    drag = std::make_unique<ChromiumDrag>(widget, targets, std::move(hooks));
}

}  // namespace ql::test
