#pragma once
// Showing a web page outside the program, and marking text inside our own browse view.
// OpenUrl hands a URL to the maker's browser window when one listens on the hand-over
// transport (window class "TZephyrviewForm"), and otherwise opens it in the desktop's browser.
#include "platform/core/Launcher.h"
#include "platform/core/WindowActivator.h"
#include "platform/core/com/Dispatch.h"

#include <cstdint>
#include <string>

namespace ql {

inline constexpr char BrowserWindowClass[] = "TZephyrviewForm";
inline constexpr std::uint32_t BrowserUrlNewWindow = 0x9999;
inline constexpr std::uint32_t BrowserUrlCurrentWindow = 0x8888;

// The text of the URL message: the URL alone, or URL + " = " + POST data when there is some.
std::string BrowserUrlMessage(const std::string& url, const std::string& post);

// Shows the URL in the maker's browser (two tries) or else in the desktop's browser. False
// when neither took it.
bool OpenUrl(const std::string& url, const std::string& post, Launcher& launcher, WindowActivator& front);
// Sends the URL message to the window of `className` (dwData 0x9999 for a new window, 0x8888
// for the current one; wParam 0), then brings that window to the front (the window of the
// process that took the message). False when no such window listens.
bool SendUrlToBrowserWindow(const std::string& url, const std::string& post, bool newWindow,
                            const std::string& className, WindowActivator& front);
// Opens the URL in a new window of the desktop's browser. Only http, https and file URLs and
// absolute file paths are opened. With POST data (http and https only) the browser is given a
// page of the runtime folder that posts the data to the URL as a form
// (application/x-www-form-urlencoded) as soon as it opens. False when refused or the launch
// failed.
bool OpenInNewBrowser(const std::string& url, const std::string& post, Launcher& launcher);
// That page: one hidden field per name=value pair of the POST data (percent-decoded; the
// browser encodes them again), sent in UTF-8.
std::string PostFormPage(const std::string& url, const std::string& post);

// Gives every occurrence of `text` (letter case ignored) in the document a yellow background:
// each match is wrapped, as it is, in <span style="background-color: #FFFF00">. `document` is
// the browse view's document (an IHTMLDocument2); anything else, or an empty text, does nothing.
// Failures end the marking silently.
void HighlightText(const std::string& text, com::IDispatch* document);

}  // namespace ql
