#include "app/editor/HtmlDocumentEdits.h"

#include "platform/core/com/OleCommandTarget.h"

namespace ql {

using namespace ql::com;

DocCommandState QueryDocCommand(IHTMLDocument2* document, std::uint32_t command, bool tableGroup)
{
    DocCommandState state;
    if (!document)
        return state;
    ComPtr<IOleCommandTarget> target;
    if (FAILED(document->QueryInterface(IOleCommandTarget::IID_, target.putVoid())) || !target)
        return state;
    OLECMD cmd{command, 0};
    if (FAILED(target->QueryStatus(tableGroup ? &CGID_TableEditing : &CGID_MSHTML, 1, &cmd)))
        return state;
    state.enabled = (cmd.cmdf & OLECMDF_ENABLED) != 0;
    state.latched = (cmd.cmdf & OLECMDF_LATCHED) != 0;
    return state;
}

bool ReplaceSelectionHtml(IHTMLDocument2* document, const std::function<std::string(const std::string&)>& make)
{
    if (!document)
        return false;
    ComPtr<IHTMLSelectionObject> selection;
    if (FAILED(document->get_selection(selection.put())) || !selection)
        return false;
    ComPtr<IDispatch> dispatch;
    if (FAILED(selection->createRange(dispatch.put())) || !dispatch)
        return false;
    ComPtr<IHTMLTxtRange> range;
    if (FAILED(dispatch->QueryInterface(IHTMLTxtRange::IID_, range.putVoid())) || !range)
        return false;
    std::u16string former;
    if (FAILED(range->get_htmlText(&former)))
        return false;
    return SUCCEEDED(range->pasteHTML(WideFromUtf8(make(Utf8FromWide(former)))));
}

std::optional<std::string> DocumentBackgroundColor(IHTMLDocument2* document)
{
    Variant color;
    if (!document || FAILED(document->get_bgColor(&color)))
        return std::nullopt;
    return color.ToUtf8();
}

bool SetDocumentBackgroundColor(IHTMLDocument2* document, const std::string& color)
{
    return document && SUCCEEDED(document->put_bgColor(Variant::Text(color)));
}

bool SetBodyBackground(IHTMLDocument2* document, const std::string& url)
{
    if (!document)
        return false;
    ComPtr<IHTMLElement> body;
    if (FAILED(document->get_body(body.put())) || !body)
        return false;
    ComPtr<IHTMLBodyElement> bodyElement;
    if (FAILED(body->QueryInterface(IHTMLBodyElement::IID_, bodyElement.putVoid())) || !bodyElement)
        return false;
    return SUCCEEDED(bodyElement->put_background(WideFromUtf8(url)));
}

}  // namespace ql
