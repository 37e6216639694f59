#pragma once
// The document object model as the editing, search, picture and capture code use it: a
// document with its selection, body, pictures and links; text ranges; elements. Texts are
// UTF-16. Every interface is also an IDispatch, so properties can be read and written by name
// (an element's "outerHTML", say).
#include "platform/core/com/ComBase.h"
#include "platform/core/com/Dispatch.h"

#include <cstdint>
#include <string>

namespace ql::com {

class IHTMLElement;
class IHTMLElementCollection;
class IHTMLSelectionObject;
class IHTMLTxtRange;

class IHTMLElement : public IDispatch {
public:
    static constexpr IID IID_{0x6A1F5C01, 0x3E2B, 0x4C70, {0x9D, 0x41, 0x51, 0x75, 0x69, 0x6C, 0x01, 0x01}};
    // Attribute by name (case-insensitive); VT_NULL when the element has none.
    virtual HRESULT getAttribute(const std::u16string& name, std::int32_t flags, Variant* value) = 0;
    virtual HRESULT setAttribute(const std::u16string& name, const Variant& value, std::int32_t flags) = 0;
    virtual HRESULT get_tagName(std::u16string* name) = 0;  // upper case
    virtual HRESULT get_innerHTML(std::u16string* html) = 0;
    virtual HRESULT put_innerHTML(const std::u16string& html) = 0;
    virtual HRESULT get_outerHTML(std::u16string* html) = 0;
    // Replaces the element by the markup; this object then refers to the removed element.
    virtual HRESULT put_outerHTML(const std::u16string& html) = 0;
};

class IHTMLBodyElement : public IDispatch {
public:
    static constexpr IID IID_{0x6A1F5C01, 0x3E2B, 0x4C70, {0x9D, 0x41, 0x51, 0x75, 0x69, 0x6C, 0x01, 0x02}};
    virtual HRESULT get_background(std::u16string* url) = 0;
    virtual HRESULT put_background(const std::u16string& url) = 0;
    // A text range over the whole body.
    virtual HRESULT createTextRange(IHTMLTxtRange** range) = 0;
};

class IHTMLElementCollection : public IDispatch {
public:
    static constexpr IID IID_{0x6A1F5C01, 0x3E2B, 0x4C70, {0x9D, 0x41, 0x51, 0x75, 0x69, 0x6C, 0x01, 0x03}};
    virtual HRESULT get_length(std::int32_t* length) = 0;
    // The element at the 0-based `index` (an integer variant); *element nullptr when out of range.
    virtual HRESULT item(const Variant& index, IDispatch** element) = 0;
};

// findText flags.
inline constexpr std::int32_t FINDTEXT_WHOLEWORD = 2;
inline constexpr std::int32_t FINDTEXT_MATCHCASE = 4;

class IHTMLTxtRange : public IDispatch {
public:
    static constexpr IID IID_{0x3050F220, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
    virtual HRESULT get_htmlText(std::u16string* html) = 0;
    virtual HRESULT get_text(std::u16string* text) = 0;  // as rendered: whitespace runs as one blank
    // Replaces the range by the markup (scripts in it never run) and collapses it after it.
    virtual HRESULT pasteHTML(const std::u16string& html) = 0;
    virtual HRESULT collapse(bool toStart) = 0;
    // Searches forward (count >= 0) or backward (count < 0) inside the range; on success the
    // range becomes the match. Without FINDTEXT_MATCHCASE letter case is ignored.
    virtual HRESULT findText(const std::u16string& text, std::int32_t count, std::int32_t flags, bool* found) = 0;
    // Makes the range the document's selection.
    virtual HRESULT select() = 0;
    // Wraps the text of the range, run by run, in new elements `tagName` with the given style
    // attribute; the text stays text (nothing of it is parsed as markup). The range then spans
    // the new elements.
    virtual HRESULT wrapText(const std::u16string& tagName, const std::u16string& style) = 0;
};

class IHTMLSelectionObject : public IDispatch {
public:
    static constexpr IID IID_{0x6A1F5C01, 0x3E2B, 0x4C70, {0x9D, 0x41, 0x51, 0x75, 0x69, 0x6C, 0x01, 0x04}};
    // "None" (nothing or a caret), "Text", or "Control" (a single picture or form control).
    virtual HRESULT get_type(std::u16string* type) = 0;
    // A text range over the selection (a collapsed one at the caret, or at the start of the
    // body when there is no selection), as an IDispatch answering IHTMLTxtRange.
    virtual HRESULT createRange(IDispatch** range) = 0;
};

class IHTMLDocument2 : public IDispatch {
public:
    static constexpr IID IID_{0x6A1F5C01, 0x3E2B, 0x4C70, {0x9D, 0x41, 0x51, 0x75, 0x69, 0x6C, 0x01, 0x05}};
    virtual HRESULT get_body(IHTMLElement** body) = 0;  // answers IHTMLBodyElement too; nullptr without body
    virtual HRESULT get_images(IHTMLElementCollection** images) = 0;
    virtual HRESULT get_links(IHTMLElementCollection** links) = 0;  // a and area elements with href
    virtual HRESULT get_selection(IHTMLSelectionObject** selection) = 0;
    virtual HRESULT get_title(std::u16string* title) = 0;
    virtual HRESULT get_URL(std::u16string* url) = 0;
    virtual HRESULT get_bgColor(Variant* colour) = 0;  // "#rrggbb", or "" when the page sets none
    virtual HRESULT put_bgColor(const Variant& colour) = 0;
    virtual HRESULT execCommand(const std::u16string& command, bool showUI, const Variant& value, bool* done) = 0;
    virtual HRESULT queryCommandSupported(const std::u16string& command, bool* result) = 0;
    virtual HRESULT queryCommandEnabled(const std::u16string& command, bool* result) = 0;
    virtual HRESULT queryCommandState(const std::u16string& command, bool* result) = 0;
    virtual HRESULT queryCommandIndeterm(const std::u16string& command, bool* result) = 0;
    virtual HRESULT queryCommandValue(const std::u16string& command, Variant* value) = 0;
};

}  // namespace ql::com
