#include "extension/CapturePage.h"

#include "extension/ClipFile.h"
#include "foundation/HandOverReply.h"
#include "foundation/VekBaseClass.h"
#include "platform/core/CopyDataTransport.h"
#include "platform/core/SafeFile.h"

#include <sys/stat.h>

namespace ql::brimhook {

using namespace ql::com;

namespace {

std::u16string lowerAscii(std::u16string s)
{
    for (auto& c : s)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return s;
}

// The hand-over text is three lines, ended by a NUL, and the command line carries the same
// values: a line break or NUL inside the URL or title would shift or cut the lines the
// receiver reads, so each becomes a blank.
std::string oneLine(std::u16string_view wide)
{
    std::string text = Utf8FromWide(wide);
    for (auto& c : text)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return text;
}

// The selection's text range when the selection is text; nullptr (with S_OK) otherwise.
HRESULT textSelectionRange(IHTMLDocument2* doc, ComPtr<IHTMLTxtRange>& range)
{
    range.reset();
    ComPtr<IHTMLSelectionObject> selection;
    HRESULT hr = doc->get_selection(selection.put());
    if (FAILED(hr))
        return hr;
    if (!selection)
        return E_FAIL;
    std::u16string type;
    if (FAILED(hr = selection->get_type(&type)))
        return hr;
    if (lowerAscii(type) != u"text")
        return S_OK;
    ComPtr<IDispatch> created;
    if (FAILED(hr = selection->createRange(created.put())))
        return hr;
    if (!created)
        return E_FAIL;
    return created->QueryInterface(IHTMLTxtRange::IID_, range.putVoid());
}

HRESULT bodyOuterHtml(IHTMLDocument2* doc, std::string& html)
{
    ComPtr<IHTMLElement> body;
    HRESULT hr = doc->get_body(body.put());
    if (FAILED(hr))
        return hr;
    if (!body)
        return E_FAIL;
    std::u16string outer;
    if (FAILED(hr = body->get_outerHTML(&outer)))
        return hr;
    html = Utf8FromWide(outer);
    return S_OK;
}

// The cached page from `cacheFile` into the clip file. False when the file is missing, larger
// than a page may be, unreadable or the clip could not be written.
bool copyCachedPage(const std::string& cacheFile, const std::string& clip, std::uint64_t maxBytes)
{
    struct stat st {};
    if (cacheFile.empty() || ::stat(cacheFile.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > maxBytes)
        return false;
    std::string text;
    LoadTextFromFile(cacheFile, -1, text);
    if (text.empty() && st.st_size > 0)
        return false;  // could not be read
    return SaveTextToFile(text, clip);
}

}  // namespace

std::string HandOverUnusableMessage(const std::string& why) { return "Quillory cannot take the clip: " + why + "."; }

HRESULT CapturePage(IHTMLDocument2* doc, TCaptureMode mode, const CaptureServices& services)
{
    const std::string clip = ClipFilePath();
    if (!EmptyClipFile(clip))
        return E_FAIL;
    if (!doc)
        return S_OK;

    HRESULT hr = S_OK;
    if (mode == TCaptureMode::SelectionOrPage) {
        mode = TCaptureMode::WholePage;
        ComPtr<IHTMLTxtRange> range;
        if (FAILED(hr = textSelectionRange(doc, range)))
            return hr;
        std::u16string text;
        if (range && FAILED(hr = range->get_text(&text)))
            return hr;
        if (!text.empty())
            mode = TCaptureMode::Selection;
    }

    if (mode == TCaptureMode::WholePage) {
        std::u16string url;
        if (FAILED(hr = doc->get_URL(&url)))
            return hr;
        std::string cached = services.findUrlCacheFile ? services.findUrlCacheFile(Utf8FromWide(url)) : "";
        if (!copyCachedPage(cached, clip, services.maxPageBytes)) {
            std::string html;
            if (FAILED(hr = bodyOuterHtml(doc, html)))
                return hr;
            if (!SaveTextToFile(html, clip))
                return E_FAIL;
        }
    } else {
        ComPtr<IHTMLTxtRange> range;
        if (FAILED(hr = textSelectionRange(doc, range)))
            return hr;
        if (range) {
            std::u16string html;
            if (FAILED(hr = range->get_htmlText(&html)))
                return hr;
            if (!SaveTextToFile(Utf8FromWide(html), clip))
                return E_FAIL;
        }
    }

    std::u16string url, title;
    if (FAILED(hr = doc->get_URL(&url)) || FAILED(hr = doc->get_title(&title)))
        return hr;
    std::int64_t reply = 0;
    if (SendCopyData(kHandOverWindowClass, clip + "\r\n" + oneLine(url) + "\r\n" + oneLine(title), 0, 0, &reply)) {
        // Taken, or refused by a Quillory that could not read the clip file: then nothing was
        // stored, and the user is told so rather than left to think it was.
        if (reply != static_cast<std::int64_t>(HandOverReply::Taken))
            services.messages.ShowMessage(HandOverUnusableMessage("it could not read the clip file " + clip));
        return S_OK;
    }
    // A Quillory started now could not be reached either, and the next capture would start
    // another: the user learns what to mend instead.
    if (std::string why; CopyDataSocketPath(kHandOverWindowClass, &why).empty()) {
        services.messages.ShowMessage(HandOverUnusableMessage(why));
        return S_OK;
    }

    const std::string exe = ReadRegString(RegRoot::CurrentUser, kProgramKey, kProgramValue);
    if (FileExists(exe)) {
        if (FAILED(hr = doc->get_URL(&url)) || FAILED(hr = doc->get_title(&title)))
            return hr;
        services.launcher.Spawn({exe, clip, oneLine(url), oneLine(title)});
        return S_OK;
    }
    services.messages.ShowMessage(kNotInstalledMessage);
    return S_OK;
}

}  // namespace ql::brimhook
