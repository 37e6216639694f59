// Quillory's main block: one instance per user. A second start hands its clip (file, URL,
// title) to the running instance and ends; the first instance runs the drop zone until Exit,
// SIGTERM, SIGINT, SIGHUP or the end of the desktop session, each of which runs the same
// save steps.
#include "app/editor/session/UnattendedDialogs.h"
#include "app/handover/HandOver.h"
#include "app/zone/EditorFormZone_wx.h"
#include "app/zone/TPlinderDragZoneForm_wx.h"
#include "foundation/EventBoundary_wx.h"
#include "foundation/VekCollectClass.h"
#include "foundation/VekHtmlClass.h"
#include "platform/core/CopyDataTransport.h"
#include "platform/core/ErrorLog.h"
#include "platform/core/SingleInstance.h"
#include "platform/gui/WindowIds_wx.h"

#include <X11/Xlib.h>
#include <glib-unix.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

class QuilloryApp : public ql::GuardedApp {
public:
    bool OnInit() override { return true; }
};

ql::HandOverSend SendOnce(const std::string& text)
{
    std::int64_t reply = 0;
    switch (ql::SendCopyDataMessage(ql::kZoneWindowClass, ql::CopyDataMessage::FromText(text, 0, 0), &reply)) {
    case ql::CopyDataResult::Delivered:
        return ql::HandOverSendForReply(reply);
    case ql::CopyDataResult::NoReceiver:
        return ql::HandOverSend::NoReceiver;
    case ql::CopyDataResult::Failed:
        break;
    }
    return ql::HandOverSend::Failed;
}

// A second start: arguments 1 to 3 go to the running instance; without arguments nothing
// happens.
int HandOverToRunningInstance(std::vector<std::string> args)
{
    if (args.empty())
        return 0;
    // Where no socket can be made, waiting for the running instance to listen is pointless.
    if (std::string why; ql::CopyDataSocketPath(ql::kZoneWindowClass, &why).empty()) {
        std::fprintf(stderr, "quillory: the clip cannot be handed over to the running Quillory: %s.\n", why.c_str());
        return 1;
    }
    std::error_code ec;
    args[0] = ql::AbsoluteClipPath(args[0], std::filesystem::current_path(ec).string());
    const std::string text = ql::HandOverText(args);
    const ql::HandOverSend result = ql::SendHandOverWithRetry(
        [&] { return SendOnce(text); }, [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
        [] { return ql::SingleInstanceLock().AnotherInstanceRuns(); });
    const std::string line = ql::HandOverFailureLine(result);
    if (line.empty())
        return 0;
    std::fprintf(stderr, "%s\n", line.c_str());
    return 1;
}

// One line saying what is missing when there is no X display to run on; "" when there is one.
std::string MissingDisplay()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return "quillory: no graphical display: DISPLAY is not set (Quillory runs on an X11 desktop, or on XWayland).";
    // Probed on a connection of its own that stays open: closing an Xlib connection before
    // the toolkit opens its own upsets the toolkit's start.
    static Display* probe = XOpenDisplay(nullptr);
    if (!probe)
        return std::string("quillory: the X display \"") + name + "\" cannot be opened.";
    return {};
}

gboolean OnExitSignal(gpointer data)
{
    static_cast<ql::TPlinderDragZoneForm*>(data)->ExitFromOutside("signal");
    return G_SOURCE_REMOVE;
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(QuilloryApp);

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    // Every start, also one that only hands a clip over, records itself as the copy that ran last.
    ql::LoadSettings();
    ql::SingleInstanceLock lock;
    if (lock.AnotherInstanceRuns())
        return HandOverToRunningInstance(std::move(args));
    // Without the lock nothing keeps a second zone off the collection: two would overwrite
    // each other's tree files.
    if (lock.state() != ql::SingleInstanceLock::State::Acquired) {
        std::fprintf(stderr, "quillory: %s; Quillory does not start without it.\n", lock.Problem().c_str());
        return 1;
    }

    if (std::string missing = MissingDisplay(); !missing.empty()) {
        std::fprintf(stderr, "%s\n", missing.c_str());
        return 1;
    }
    // The toolkit sees the program name only: the clip arguments are ours.
    int wxArgc = 1;
    char* wxArgv[] = {argv[0], nullptr};
    wxApp::SetInstance(new QuilloryApp);
    if (!wxEntryStart(wxArgc, wxArgv)) {
        std::fprintf(stderr, "quillory: the desktop toolkit could not start on this display.\n");
        return 1;
    }
    // Before the first window: the windows of a quick restart must not look like the last run's.
    ql::SkipWindowIdsOfEarlierRuns();
    wxTheApp->CallOnInit();
    wxTheApp->SetAppName("quillory");
    wxTheApp->SetAppDisplayName("Quillory");
    wxInitAllImageHandlers();

    // The browsers' caches are indexed in the background from now on, so the first drop never
    // waits for a full scan.
    ql::StartUrlCacheIndexing();
    // The editor's boxes, kept to the end of the program as the editor window is.
    ql::UnattendedDialogs editorBoxes(nullptr);
    auto editorFactory =
        ql::EditorFormFactory(ql::CollectionContext{ql::Settings, ql::ClipSourceUrl, ql::ImagesIni.get()}, editorBoxes);
    auto* zone = new ql::TPlinderDragZoneForm(
        ql::Settings, ql::ZoneFormOptions{std::move(args), std::move(editorFactory), [] { return ql::SaveSettings(); },
                                          [&lock] { return lock.Renew() ? std::string() : lock.Problem(); }});
    wxTheApp->SetTopWindow(zone);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        g_unix_signal_add(sig, OnExitSignal, zone);
    wxTheApp->Bind(wxEVT_END_SESSION, [zone](wxCloseEvent&) { zone->ExitFromOutside("end of session"); });

    zone->Start();
    try {
        wxTheApp->OnRun();
    } catch (...) {
        ql::LogCurrentException("event loop");
    }
    // The loop can also end without Exit (the display went away, an exception it could not go
    // on after): the saves run all the same.
    if (!zone->Controller().Exiting())
        zone->ExitFromOutside("event loop ended");
    zone->Destroy();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
