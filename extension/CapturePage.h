#pragma once
// The capture routine of Tquillory: writes the document's selection or whole page into the
// clip file, then hands the clip to the running Quillory, or starts Quillory with it.
#include "foundation/Dialogs.h"
#include "foundation/PageLimit.h"
#include "platform/core/Launcher.h"
#include "platform/core/com/HtmlDocument.h"

#include <cstdint>
#include <functional>
#include <string>

namespace ql::brimhook {

enum class TCaptureMode : std::uint8_t {
    WholePage = 0,
    Selection = 1,
    SelectionOrPage = 2,  // the selection when there is a text selection, else the whole page
};

// The window class that takes clip hand-overs, and where Quillory records its program path.
inline constexpr char kHandOverWindowClass[] = "TPlinderDragZoneForm";
inline constexpr char kProgramKey[] = "\\Software\\Tessaly\\Pouchly";
inline constexpr char kProgramValue[] = "exe";
inline constexpr char kNotInstalledMessage[] = "Quillory not properly installed, Please install Quillory again.";
// What the user is told instead when no hand-over can work here (`why`: which folder is wrong).
std::string HandOverUnusableMessage(const std::string& why);

// What a capture talks to besides the clip file, the registry store and the hand-over
// transport. The library's own are in DefaultCaptureServices(); tests pass fakes.
struct CaptureServices {
    Launcher& launcher;  // starts Quillory
    Dialogs& messages;   // the "not installed" message
    // The local copy of a URL's cached body, or "".
    std::function<std::string(const std::string& url)> findUrlCacheFile;
    // Cached pages above this size are not loaded (the body's markup is taken instead).
    std::uint64_t maxPageBytes = kMaxPageBytes;
};

// Runs one capture of `doc` (nullptr: no document) in `mode`. S_OK once the clip was handed
// over, Quillory was started, or the "not installed" message (or, where no hand-over can work or
// the running Quillory refused the clip, the message saying why) was shown; a failing result, with
// nothing handed over or started, when the clip file could not be written or a call on the
// document failed.
com::HRESULT CapturePage(com::IHTMLDocument2* doc, TCaptureMode mode, const CaptureServices& services);

}  // namespace ql::brimhook
