#include "foundation/VekIEClass.h"

#include "foundation/VekBaseClass.h"
#include "platform/core/CopyDataPeer.h"
#include "platform/core/HtmlEscape.h"
#include "platform/core/RuntimeDir.h"
#include "platform/core/SafeFile.h"
#include "platform/core/UrlText.h"
#include "platform/core/com/HtmlDocument.h"

#include <atomic>
#include <chrono>
#include <filesystem>

#include <unistd.h>

namespace ql {

using namespace ql::com;

namespace {

// Matches are marked one at a time; a page cannot hold more marks than this.
constexpr int kMaxMarks = 100000;

}  // namespace

std::string BrowserUrlMessage(const std::string& url, const std::string& post)
{
    return post.empty() ? url : url + " = " + post;
}

bool SendUrlToBrowserWindow(const std::string& url, const std::string& post, bool newWindow,
                            const std::string& className, WindowActivator& front)
{
    // The transport finds the listening window afresh on every send, so no window handle is
    // kept between calls.
    if (!SendCopyData(className, BrowserUrlMessage(url, post),
                      newWindow ? BrowserUrlNewWindow : BrowserUrlCurrentWindow, 0))
        return false;
    front.ActivateWindowOf(CopyDataReceiverPid(className), className);
    return true;
}

std::string PostFormPage(const std::string& url, const std::string& post)
{
    std::string fields;
    std::size_t at = 0;
    while (at <= post.size()) {
        std::size_t end = post.find('&', at);
        if (end == std::string::npos)
            end = post.size();
        const std::string pair = post.substr(at, end - at);
        at = end + 1;
        if (pair.empty())
            continue;
        const std::size_t eq = pair.find('=');
        const std::string name = PercentDecode(pair.substr(0, eq), true).value_or(pair.substr(0, eq));
        const std::string value = eq == std::string::npos
                                      ? std::string()
                                      : PercentDecode(pair.substr(eq + 1), true).value_or(pair.substr(eq + 1));
        fields += "<input type=\"hidden\" name=\"" + EscapeHtmlAttribute(name) + "\" value=\"" +
                  EscapeHtmlAttribute(value) + "\">\n";
    }
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Sending</title></head>\n"
           "<body onload=\"document.forms[0].submit()\">\n<form method=\"post\" action=\"" +
           EscapeHtmlAttribute(url) + "\" enctype=\"application/x-www-form-urlencoded\" accept-charset=\"utf-8\">\n" +
           fields + "<noscript><input type=\"submit\" value=\"Send\"></noscript>\n</form>\n</body></html>\n";
}

namespace {

// The page that posts the data, in the runtime folder (private to the user). Pages of earlier
// requests go once they are a minute old: the browser has read them by then.
std::string WritePostPage(const std::string& url, const std::string& post)
{
    const std::string dir = RuntimeDir();
    if (dir.empty())
        return {};
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (const auto& e : fs::directory_iterator(dir, ec))
        if (e.path().filename().string().rfind("post-", 0) == 0 &&
            now - e.last_write_time(ec) > std::chrono::minutes(1))
            fs::remove(e.path(), ec);
    static std::atomic<unsigned> serial{0};  // unique names also when two threads send at once
    const std::string path = dir + "post-" + std::to_string(::getpid()) + "-" + std::to_string(++serial) + ".html";
    return WriteFileAtomic(path, PostFormPage(url, post)) ? path : std::string();
}

}  // namespace

bool OpenInNewBrowser(const std::string& url, const std::string& post, Launcher& launcher)
{
    std::string scheme = UrlScheme(url);
    if (!post.empty()) {
        if (scheme != "http" && scheme != "https")
            return false;
        const std::string page = WritePostPage(url, post);
        return !page.empty() && launcher.OpenWithDesktop(page);
    }
    bool allowed = scheme == "http" || scheme == "https" || scheme == "file" || (!url.empty() && url[0] == '/');
    if (!allowed)
        return false;
    return launcher.OpenWithDesktop(url);
}

bool OpenUrl(const std::string& url, const std::string& post, Launcher& launcher, WindowActivator& front)
{
    if (SendUrlToBrowserWindow(url, post, true, BrowserWindowClass, front))
        return true;
    if (SendUrlToBrowserWindow(url, post, true, BrowserWindowClass, front))
        return true;
    return OpenInNewBrowser(url, post, launcher);
}

void HighlightText(const std::string& text, IDispatch* document)
{
    if (text.empty() || !document)
        return;
    ComPtr<IHTMLDocument2> doc;
    if (FAILED(document->QueryInterface(IHTMLDocument2::IID_, doc.putVoid())) || !doc)
        return;
    ComPtr<IHTMLElement> body;
    if (FAILED(doc->get_body(body.put())) || !body)
        return;
    ComPtr<IHTMLBodyElement> bodyElement;
    if (FAILED(body->QueryInterface(IHTMLBodyElement::IID_, bodyElement.putVoid())) || !bodyElement)
        return;
    ComPtr<IHTMLTxtRange> range;
    if (FAILED(bodyElement->createTextRange(range.put())) || !range)
        return;
    const std::u16string needle = WideFromUtf8(text);
    for (int marks = 0; marks < kMaxMarks; ++marks) {
        bool found = false;
        if (FAILED(range->findText(needle, 1, 0, &found)) || !found)
            return;
        // The match is wrapped as it stands; its text never passes through the HTML parser.
        if (FAILED(range->wrapText(u"span", u"background-color: #FFFF00")))
            return;
        if (FAILED(range->collapse(false)))
            return;
    }
}

}  // namespace ql
