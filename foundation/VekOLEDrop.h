#pragma once
// TVekOLEDrop makes one window a drop target and turns drags into typed events: while a drag
// passes it classifies the offered data (URL, files, HTML, text, picture) and lets the owner
// choose the effect; on the drop it fetches the data and raises one event per kind.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/VekBaseClass.h"
#include "platform/core/com/DataObject.h"
#include "platform/core/com/DragDrop.h"

namespace ql {

// Drop kinds, one bit each; drop handlers test and set these values.
using TDropType = std::uint8_t;
inline constexpr TDropType dtText = 1;
inline constexpr TDropType dtPicture = 2;
inline constexpr TDropType dtURL = 4;
inline constexpr TDropType dtFiles = 8;
inline constexpr TDropType dtHTML = 16;

class TMyDragDrop;

using TOnOLEDragEnter = std::function<void(TMyDragDrop* Sender, com::IDataObject* ADataObj, int AGrfKeyState,
                                           com::POINTL APt, int& AEffect, int& AResult)>;
using TOnOLEDragLeave = std::function<void(TMyDragDrop* Sender, int& AResult)>;
using TOnOLEDragOver = std::function<void(TMyDragDrop* Sender, int AGrfKeyState, com::POINTL APt, int& AEffect,
                                          int& AResult, TDropType& ADropType)>;
using TOnOLEDrop = TOnOLEDragEnter;
using TOnDropURL = std::function<void(TMyDragDrop* Sender, const std::string& AURL, const std::string& AURLScript)>;
// The lists belong to the drop target: handlers read them and keep no reference.
using TOnDropFiles = std::function<void(TMyDragDrop* Sender, const StringList& AFileNames)>;
using TOnDropHTML = std::function<void(TMyDragDrop* Sender, const std::string& AURL, const StringList& AHTMLDoc,
                                       const std::string& ASelText)>;
using TOnDropText = std::function<void(TMyDragDrop* Sender, const std::string& Text)>;
using TOnDropRichText = std::function<void(TMyDragDrop* Sender, const std::string& RichText)>;
using TOnDropPict = std::function<void(TMyDragDrop* Sender, const std::vector<std::uint8_t>& DIBData)>;

struct VekOLEDropEvents {
    TOnOLEDragEnter OnOLEDragEnter;
    TOnOLEDragLeave OnOLEDragLeave;
    TOnOLEDragOver OnOLEDragOver;
    TOnOLEDrop OnOLEDrop;
    TOnDropURL OnDropURL;
    TOnDropFiles OnDropFiles;
    TOnDropHTML OnDropHTML;
    TOnDropText OnDropText;
    TOnDropRichText OnDropRichText;  // never raised: nothing is read as rich text
    TOnDropPict OnDropPict;          // never raised: pictures are classified, not fetched
};

// The window a drop target is registered with (the wx side supplies one per window).
class DropTargetWindow {
public:
    virtual ~DropTargetWindow() = default;
    virtual com::HRESULT RegisterDragDrop(com::IDropTarget* target) = 0;
    virtual com::HRESULT RevokeDragDrop() = 0;
};

class TMyDragDrop : public com::ComObject<com::IDropTarget> {
public:
    // Takes its copies of the events and registers the five formats it reads.
    explicit TMyDragDrop(const VekOLEDropEvents& events);

    com::HRESULT DragEnter(com::IDataObject* data, com::DWORD keyState, com::POINTL pt, com::DWORD* effect) override;
    com::HRESULT DragOver(com::DWORD keyState, com::POINTL pt, com::DWORD* effect) override;
    com::HRESULT DragLeave() override;
    com::HRESULT Drop(com::IDataObject* data, com::DWORD keyState, com::POINTL pt, com::DWORD* effect) override;

    // The owner is going away: from now on no event is raised and new drags are refused. A
    // drop or leave under way (the window may still hold this object) finishes quietly.
    void Detach() { detached_ = true; }

    TDropType DropTypes() const { return DropTypes_; }
    // "UniformResourceLocator", "FileGroupDescriptor", "Netscape Bookmark", "FileName", "HTML Format".
    const std::array<std::uint32_t, 5>& FormatIds() const { return FormatIds_; }
    bool HoldsDataObject() const { return static_cast<bool>(data_); }

private:
    bool Offers(std::uint32_t format) const;
    bool FetchText(std::uint32_t format, std::string& text) const;
    void DropEvents();

    VekOLEDropEvents events_;
    std::array<std::uint32_t, 5> FormatIds_{};
    TDropType DropTypes_ = 0;
    com::ComPtr<com::IDataObject> data_;
    // Set when the owner refused the drag at its entry: later calls of that drag are answered
    // with the same refusal and raise nothing.
    bool refused_ = false;
    bool detached_ = false;
    com::HRESULT refusal_ = com::S_OK;
    StringList files_;
    StringList htmlLines_;
};

// The owner sets the events it inherits and the target window, then calls Loaded.
class TVekOLEDrop : public VekOLEDropEvents {
public:
    TVekOLEDrop() = default;
    ~TVekOLEDrop();
    TVekOLEDrop(const TVekOLEDrop&) = delete;
    TVekOLEDrop& operator=(const TVekOLEDrop&) = delete;

    // The window that becomes the drop target; set before Loaded.
    std::unique_ptr<DropTargetWindow> TargetControl;

    // After the owner has set the target and the events: creates the drop target with copies
    // of the events (events set later have no effect) and registers it with the window. Does
    // nothing without a target window or when already done.
    void Loaded();
    TMyDragDrop* DropTarget() const { return target_.get(); }

private:
    com::ComPtr<TMyDragDrop> target_;
};

// The value the URL of an "HTML Format" text is read from: its "SourceURL:" header line (the
// header ends at the first line that begins with '<'); "" when there is none.
std::string SourceUrlOfHtmlLines(const StringList& lines);

}  // namespace ql
