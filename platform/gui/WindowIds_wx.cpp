#include "platform/gui/WindowIds_wx.h"

#include <gdk/gdk.h>
#include <random>

// Last: the X11 headers' macros clash with names in other headers.
#include <gdk/gdkx.h>

namespace ql {

namespace {

// Each run starts its windows at an offset of its own in the connection's 2^21 ids: two runs
// name a window alike only when their offsets meet, and the offsets stay far below the end,
// where ids would have to be asked of the server again.
constexpr unsigned kSkipAtLeast = 1u << 10;
constexpr unsigned kSkipAtMost = 1u << 16;

}  // namespace

void SkipWindowIdsOfEarlierRuns()
{
    GdkDisplay* display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return;
    Display* xdisplay = GDK_DISPLAY_XDISPLAY(display);
    std::random_device seed;
    const unsigned skip = std::uniform_int_distribution<unsigned>(kSkipAtLeast, kSkipAtMost)(seed);
    // Xlib hands out the next id only after a request has gone through its queue: an empty
    // request after each id taken.
    for (unsigned i = 0; i < skip; ++i) {
        XAllocID(xdisplay);
        XNoOp(xdisplay);
    }
    XFlush(xdisplay);
}

}  // namespace ql
