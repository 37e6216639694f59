#pragma once
// What the shell tree and the shell list offer when items are dragged out of them: the list of
// formats with its enumerator, the three payloads ("Shell IDList Array", the file list and the
// text) and the drop source that ends the drag when the dragging button is released.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/shell/ShellUtils.h"
#include "platform/core/com/DragDrop.h"

namespace ql::shellctl {

using com::CLIPFORMAT;
using com::DWORD;
using com::FORMATETC;

// The offered formats, each a record of its own (a target device is copied with it). Every
// record added from a format number is content, index -1, global memory.
class TSvFormatEtcList {
public:
    TSvFormatEtcList() = default;
    explicit TSvFormatEtcList(const std::vector<CLIPFORMAT>& formats) { AddFormats(formats); }

    void AddFormats(const std::vector<CLIPFORMAT>& formats);
    void Add(const FORMATETC& format) { entries_.push_back(format); }
    void Clear() { entries_.clear(); }
    int Count() const { return static_cast<int>(entries_.size()); }
    const FORMATETC& Items(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    const std::vector<FORMATETC>& Entries() const { return entries_; }

    // The answer to QueryGetData: S_OK, DV_E_TYMED when the format is offered on another
    // medium only, DV_E_FORMATETC otherwise (and for any aspect but content).
    com::HRESULT QueryFormat(const FORMATETC& requested) const;

private:
    std::vector<FORMATETC> entries_;
};

// An enumerator over the list's formats, at the first. It holds its own copy of them, so it
// stays valid after the data object that made it is gone.
com::ComPtr<com::IEnumFORMATETC> EnumerateFormats(const std::shared_ptr<const TSvFormatEtcList>& list);

// The payloads. Each gives S_OK, or E_OUTOFMEMORY with an empty block.
// CF_TEXT: the text and one NUL.
com::HRESULT MakeTextHGlobal(const std::string& text, std::vector<std::uint8_t>& block);
// CF_HDROP: the 20-byte header, each path and a NUL, one more NUL. Every path has a room of at
// least 260 bytes (so the block is 260 x n + 21 bytes for short paths); a longer path gets the
// room it needs rather than being cut or written past the end. No paths: 21 zero bytes.
com::HRESULT MakeHDropHGlobal(const std::vector<std::string>& paths, std::vector<std::uint8_t>& block);
// "Shell IDList Array": exactly 8 + 4n bytes of header and the lists; a nil folder is the
// desktop (the empty list).
com::HRESULT MakeIdListArrayHGlobal(const ItemIdList* folder, const std::vector<const ItemIdList*>& items,
                                    std::vector<std::uint8_t>& block);

// The button that started a drag as key-state bits: 0 left, 1 right, 2 middle; 0 for any other
// value, and a drag with such a button is not started.
DWORD DragButtonMask(int button);

class TDropSource_shlvtv : public com::ComObject<com::IDropSource> {
public:
    explicit TDropSource_shlvtv(int button) : mask_(DragButtonMask(button)) {}
    DWORD ButtonMask() const { return mask_; }

    // Escape or another button cancels; the drag button held continues; released, it drops.
    com::HRESULT QueryContinueDrag(bool escapePressed, DWORD keyState) override;
    com::HRESULT GiveFeedback(DWORD) override { return com::DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    DWORD mask_;
};

}  // namespace ql::shellctl
