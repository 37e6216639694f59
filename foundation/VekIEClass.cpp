#include "foundation/VekIEClass.h"

#include "foundation/VekBaseClass.h"
#include "platform/core/UrlText.h"
#include "platform/core/com/HtmlDocument.h"

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
                            const std::string& className)
{
    // The transport finds the listening window afresh on every send, so no window handle is
    // kept between calls; bringing itself to the front is the receiving browser's part.
    return SendCopyData(className, BrowserUrlMessage(url, post), newWindow ? BrowserUrlNewWindow : BrowserUrlCurrentWindow,
                        0);
}

bool OpenInNewBrowser(const std::string& url, const std::string& post, Launcher& launcher)
{
    if (!post.empty())
        return false;
    std::string scheme = UrlScheme(url);
    bool allowed = scheme == "http" || scheme == "https" || scheme == "file" || (!url.empty() && url[0] == '/');
    if (!allowed)
        return false;
    return launcher.OpenWithDesktop(url);
}

bool OpenUrl(const std::string& url, const std::string& post, Launcher& launcher)
{
    if (SendUrlToBrowserWindow(url, post, true, BrowserWindowClass))
        return true;
    if (SendUrlToBrowserWindow(url, post, true, BrowserWindowClass))
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
