#pragma once
// Waiting for the web engine in GUI tests: pump the event loop until a condition holds or a
// deadline passes (never a fixed sleep).
#include <glib.h>
#include <wx/app.h>
#include <wx/stopwatch.h>

#include <functional>

namespace ql::test {

inline bool PumpUntil(const std::function<bool()>& done, long timeoutMs = 15000)
{
    // A ticking source keeps the blocking iteration from sleeping past the deadline.
    guint tick = g_timeout_add(
        25, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    wxStopWatch watch;
    bool ok = done();
    while (!ok && watch.Time() < timeoutMs) {
        g_main_context_iteration(nullptr, TRUE);
        if (wxTheApp)
            wxTheApp->ProcessPendingEvents();
        ok = done();
    }
    g_source_remove(tick);
    return ok;
}

}  // namespace ql::test
