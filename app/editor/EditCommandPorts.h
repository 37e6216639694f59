#pragma once
// What the editing commands need from the editor's three views and from the dialogs: one small
// port each, implemented over the real controls by the window (EditCommandViews_wx) and by
// fakes in the tests. Every port answers safely when its control is missing (not yet created,
// no document): a command then does nothing.
#include "platform/core/com/Dispatch.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace ql {

// The Browse view: the web view's document commands.
class BrowseViewPort {
public:
    virtual ~BrowseViewPort() = default;
    // A command of the standard group, both arguments empty, execution option 0.
    virtual void ExecDocumentCommand(std::uint32_t command) = 0;
    virtual void CopySelection() = 0;
    virtual void SelectAllContent() = 0;
    virtual void OpenFindDialog() = 0;
    // The web document's queryCommandEnabled; nullopt without a document or on a failure.
    virtual std::optional<bool> QueryCommandEnabled(const std::string& command) = 0;
};

// The flags of one command of the document's command target.
struct DocCommandState {
    bool enabled = false;  // OLECMDF_ENABLED
    bool latched = false;  // OLECMDF_LATCHED
};

// The HTML view: the HTML editing control and its document.
class HtmlViewPort {
public:
    virtual ~HtmlViewPort() = default;
    virtual bool Exists() = 0;  // the control has been created
    virtual bool Busy() = 0;
    // The control's ExecCommand and QueryStatus (DECMDF_*); E_FAIL / 0 without the control.
    virtual com::HRESULT ExecCommand(std::int32_t command, std::uint32_t option, const com::Variant& in,
                                     com::Variant* out) = 0;
    virtual std::int32_t QueryStatus(std::int32_t command) = 0;
    // QueryStatus of one command of the document's command target, in the editing group or in
    // the table group; both false without a document.
    virtual DocCommandState QueryDocCommand(std::uint32_t command, bool tableGroup) = 0;
    virtual void Focus() = 0;
    // Replaces the document's selection (a caret is an empty selection) by what `make` returns
    // for the selection's former markup. False without a document or on a failure.
    virtual bool ReplaceSelectionHtml(const std::function<std::string(const std::string& former)>& make) = 0;
    // The document's bgColor ("#rrggbb", "" when the page sets none); nullopt on a failure.
    virtual std::optional<std::string> BackgroundColor() = 0;
    virtual bool SetBackgroundColor(const std::string& color) = 0;
    // The body's background picture.
    virtual bool SetBackgroundPicture(const std::string& path) = 0;
};

// The Text view: the plain text editor holding the page's source.
class TextViewPort {
public:
    virtual ~TextViewPort() = default;
    virtual bool CanUndo() = 0;
    virtual void Undo() = 0;
    virtual bool HasSelection() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    virtual void DeleteSelection() = 0;
    virtual void SelectAll() = 0;
    virtual void ShowFind() = 0;
    // False while the view refuses edits (no page could be read into it).
    virtual bool Editable() = 0;
    virtual std::string Text() = 0;  // UTF-8
    // The caret (the selection's start) in characters from the start of Text().
    virtual long Caret() = 0;
    // Writes the whole text back as an edit of the user's (it counts as unsaved) and puts the
    // caret at `caret` characters.
    virtual void ReplaceText(const std::string& text, long caret) = 0;
};

// The pickers of the colour and picture commands.
class EditCommandDialogs {
public:
    virtual ~EditCommandDialogs() = default;
    // Shows the colour dialog starting at `color` (0x00BBGGRR); true with the chosen colour in
    // `color` when the user confirmed it.
    virtual bool PickColor(std::uint32_t& color) = 0;
    // The full path of the picture the user chose; nullopt when cancelled.
    virtual std::optional<std::string> PickPicture() = 0;
};

}  // namespace ql
