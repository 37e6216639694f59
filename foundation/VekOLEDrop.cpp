#include "foundation/VekOLEDrop.h"

#include "platform/core/ClipboardFormats.h"
#include "platform/core/DragFormats.h"
#include "platform/core/ErrorLog.h"
#include "platform/core/FileDropFormats.h"

namespace ql {

using namespace com;

std::string SourceUrlOfHtmlLines(const StringList& lines)
{
    static const std::string key = "SourceURL:";
    for (const std::string& line : lines) {
        if (!line.empty() && line.front() == '<')
            break;
        if (line.compare(0, key.size(), key) == 0)
            return line.substr(key.size());
    }
    return "";
}

TMyDragDrop::TMyDragDrop(const VekOLEDropEvents& events) : events_(events)
{
    const char* names[5] = {kFormatUrl, kFormatFileGroupDescriptor, kFormatNetscapeBookmark, kFormatFileName,
                            kFormatHtml};
    for (std::size_t i = 0; i < 5; ++i)
        FormatIds_[i] = RegisterClipboardFormat(names[i]);
}

bool TMyDragDrop::Offers(std::uint32_t format) const
{
    // An X11 drag hands its data over only at the drop, so while it runs the offer is what can
    // be known; the data object answers it from the drag's target list.
    if (!data_ || format == 0)
        return false;
    try {
        FORMATETC f = HGlobalFormat(static_cast<CLIPFORMAT>(format));
        return data_->QueryGetData(&f) == S_OK;
    } catch (...) {
        return false;
    }
}

bool TMyDragDrop::FetchText(std::uint32_t format, std::string& text) const
{
    std::vector<std::uint8_t> block;
    if (format == 0 || !FetchHGlobal(data_.get(), static_cast<CLIPFORMAT>(format), block))
        return false;
    STGMEDIUM m;
    m.hGlobal = std::move(block);
    text = TextUpToNul(m);
    return true;
}

HRESULT TMyDragDrop::DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    data_.reset();
    DropTypes_ = 0;
    refused_ = false;
    if (detached_) {
        *effect = DROPEFFECT_NONE;
        refused_ = true;
        refusal_ = S_FALSE;
        return refusal_;
    }
    try {
        int eff = static_cast<int>(*effect);
        int result = 0;
        if (!detached_ && events_.OnOLEDragEnter)
            events_.OnOLEDragEnter(this, data, static_cast<int>(keyState), pt, eff, result);
        *effect = static_cast<DWORD>(eff);
        if (result != 0 || !data) {
            refused_ = true;
            refusal_ = result != 0 ? result : E_INVALIDARG;
            return refusal_;
        }
        data_ = ComPtr<IDataObject>(data);
        return S_OK;
    } catch (...) {
        LogCurrentException("drop target");  // the drag is refused, the source told
        refused_ = true;
        refusal_ = E_UNEXPECTED;
        return refusal_;
    }
}

HRESULT TMyDragDrop::DragOver(DWORD keyState, POINTL pt, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    DropTypes_ = 0;
    if (!data_ || detached_) {
        *effect = DROPEFFECT_NONE;
        return refused_ ? refusal_ : S_FALSE;
    }
    try {
        DWORD eff = *effect;
        bool found = false;
        for (std::size_t i = 0; i < FormatIds_.size() && !found; ++i) {
            if (!Offers(FormatIds_[i]))
                continue;
            found = true;
            switch (i) {
            case 0:
            case 2:
                eff = DROPEFFECT_LINK;
                DropTypes_ |= dtURL;
                break;
            case 3:
                eff = DROPEFFECT_COPY;
                DropTypes_ |= dtFiles;
                break;
            case 4:
                eff = DROPEFFECT_COPY;
                DropTypes_ |= dtHTML;
                break;
            default:
                break;  // a file descriptor alone names no kind
            }
        }
        if (!found) {
            for (std::uint32_t cf : {CF_TEXT, CF_DIB, CF_HDROP}) {
                if (!Offers(cf))
                    continue;
                found = true;
                if (cf == CF_TEXT) {
                    eff = DROPEFFECT_COPY;
                    DropTypes_ |= dtText;
                } else if (cf == CF_DIB) {
                    eff = DROPEFFECT_COPY;
                    DropTypes_ |= dtPicture;
                }
                break;
            }
        }
        if (!found)
            return S_FALSE;
        int e = static_cast<int>(eff);
        int result = 0;
        if (!detached_ && events_.OnOLEDragOver)
            events_.OnOLEDragOver(this, static_cast<int>(keyState), pt, e, result, DropTypes_);
        *effect = static_cast<DWORD>(e);
        return result;
    } catch (...) {
        LogCurrentException("drop target");
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT TMyDragDrop::DragLeave()
{
    data_.reset();
    refused_ = false;
    try {
        int result = 0;
        if (!detached_ && events_.OnOLEDragLeave)
            events_.OnOLEDragLeave(this, result);
        return result;
    } catch (...) {
        LogCurrentException("drop target");
        return E_UNEXPECTED;
    }
}

void TMyDragDrop::DropEvents()
{
    if ((DropTypes_ & dtText) && !detached_ && events_.OnDropText) {
        std::string text;
        FetchText(CF_TEXT, text);
        events_.OnDropText(this, text);
    }
    if ((DropTypes_ & dtURL) && !detached_ && events_.OnDropURL) {
        std::string url;
        if (!FetchText(FormatIds_[0], url) && !FetchText(FormatIds_[2], url))
            url.clear();
        std::string script;
        std::vector<std::uint8_t> descriptor;
        if (FormatIds_[1] != 0 && FetchHGlobal(data_.get(), static_cast<CLIPFORMAT>(FormatIds_[1]), descriptor))
            script = StripExtension(FirstFileDescriptorName(descriptor));
        events_.OnDropURL(this, url, script);
    }
    if ((DropTypes_ & dtFiles) && !detached_ && events_.OnDropFiles) {
        files_.clear();
        std::vector<std::uint8_t> block;
        if (FetchHGlobal(data_.get(), static_cast<CLIPFORMAT>(CF_HDROP), block))
            files_ = ParseHDrop(block);
        events_.OnDropFiles(this, files_);
    }
    if ((DropTypes_ & dtHTML) && !detached_ && events_.OnDropHTML) {
        std::string selText;
        const bool hasText = FetchText(CF_TEXT, selText) && !selText.empty();
        std::string html;
        const bool hasHtml = FetchText(FormatIds_[4], html);
        if (!hasHtml && hasText && events_.OnDropText && !(DropTypes_ & dtText)) {
            // The source could not hand its markup over (a browser does not for a very large
            // selection): the selection is kept as text rather than lost.
            events_.OnDropText(this, selText);
        } else {
            // A drop whose HTML cannot be read gets no lines, never the previous drop's.
            htmlLines_ = hasHtml ? SplitLines(html) : StringList{};
            events_.OnDropHTML(this, SourceUrlOfHtmlLines(htmlLines_), htmlLines_, selText);
        }
    }
}

HRESULT TMyDragDrop::Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    if (!data_ || detached_) {
        data_.reset();
        *effect = DROPEFFECT_NONE;
        HRESULT hr = refused_ ? refusal_ : S_FALSE;
        refused_ = false;
        return hr;
    }
    HRESULT result = S_OK;
    try {
        int eff = static_cast<int>(*effect);
        int res = 0;
        if (!detached_ && events_.OnOLEDrop)
            events_.OnOLEDrop(this, data, static_cast<int>(keyState), pt, eff, res);
        // Nothing is ever taken away from the source: a source that honours "move" would
        // delete what the user dragged.
        DWORD out = static_cast<DWORD>(eff);
        if (out & DROPEFFECT_MOVE) {
            out &= ~DROPEFFECT_MOVE;
            if ((out & (DROPEFFECT_COPY | DROPEFFECT_LINK)) == 0)
                out |= DROPEFFECT_COPY;
        }
        *effect = out;
        result = res;
        DropEvents();
    } catch (...) {
        LogCurrentException("drop target");
        result = E_UNEXPECTED;
    }
    data_.reset();
    return result;
}

TVekOLEDrop::~TVekOLEDrop()
{
    if (!target_)
        return;
    // The events point into the owner, which is being destroyed: the window may still hold the
    // drop target for a while (a drop under way), and ending the registration ends the drag.
    target_->Detach();
    if (TargetControl)
        TargetControl->RevokeDragDrop();
}

void TVekOLEDrop::Loaded()
{
    if (!TargetControl || target_)
        return;
    target_ = MakeCom<TMyDragDrop>(static_cast<const VekOLEDropEvents&>(*this));
    // A failed registration leaves a window that simply accepts no drops.
    TargetControl->RegisterDragDrop(target_.get());
}

}  // namespace ql
