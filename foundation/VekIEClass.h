#pragma once
// Showing a web page outside the program, and marking text inside our own browse view.
// OpenUrl hands a URL to the maker's browser window when one listens on the hand-over
// transport (window class "TZephyrviewForm"), and otherwise opens it in the desktop's browser.
#include "platform/core/Launcher.h"
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
bool OpenUrl(const std::string& url, const std::string& post, Launcher& launcher);
// Sends the URL message to the window of `className` (dwData 0x9999 for a new window, 0x8888
// for the current one; wParam 0). False when no such window listens.
bool SendUrlToBrowserWindow(const std::string& url, const std::string& post, bool newWindow,
                            const std::string& className);
// Opens the URL in a new window of the desktop's browser. Only http, https and file URLs and
// absolute file paths are opened; POST data cannot be handed to the desktop's browser, so a
// request with POST data is refused. False when refused or the launch failed.
bool OpenInNewBrowser(const std::string& url, const std::string& post, Launcher& launcher);

// Gives every occurrence of `text` (letter case ignored) in the document a yellow background:
// each match is wrapped, as it is, in <span style="background-color: #FFFF00">. `document` is
// the browse view's document (an IHTMLDocument2); anything else, or an empty text, does nothing.
// Failures end the marking silently.
void HighlightText(const std::string& text, com::IDispatch* document);

}  // namespace ql
