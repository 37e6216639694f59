#include "app/editor/EditCommandState.h"

#include "app/editor/session/EditorPorts.h"
#include "platform/core/com/OleCommandTarget.h"
#include "platform/gui/HtmlEditCommands.h"

namespace ql {

bool StatusLatched(std::int32_t status) { return (status & web::DECMDF_LATCHED) == web::DECMDF_LATCHED; }

bool StatusEnabled(std::int32_t status) { return (status & web::DECMDF_ENABLED) == web::DECMDF_ENABLED; }

std::string FontNameOf(com::HRESULT result, const com::Variant& value)
{
    if (com::FAILED(result) || value.IsNull())
        return "";
    return value.ToUtf8();
}

int FontSizeIndexOf(com::HRESULT result, const com::Variant& value)
{
    if (com::FAILED(result))
        return -1;
    if (value.IsNull())
        return kDefaultFontSizeIndex;
    const std::string size = value.ToUtf8();
    for (std::size_t i = 0; i < kFontSizeItems.size(); ++i)
        if (size == kFontSizeItems[i])
            return static_cast<int>(i);
    return -1;
}

Alignment AlignmentOf(DocCommandState right, DocCommandState centre)
{
    if (right.enabled && right.latched)
        return Alignment::Right;
    if (centre.enabled && centre.latched)
        return Alignment::Center;
    return Alignment::Left;
}

ToolbarState ReadToolbarState(HtmlViewPort& html)
{
    ToolbarState s;
    s.bold = StatusLatched(html.QueryStatus(web::DECMD_BOLD));
    s.italic = StatusLatched(html.QueryStatus(web::DECMD_ITALIC));
    s.underline = StatusLatched(html.QueryStatus(web::DECMD_UNDERLINE));

    com::Variant value;
    com::HRESULT hr = html.ExecCommand(web::DECMD_GETFONTNAME, com::OLECMDEXECOPT_DONTPROMPTUSER, {}, &value);
    s.fontName = FontNameOf(hr, value);
    value.Clear();
    hr = html.ExecCommand(web::DECMD_GETFONTSIZE, com::OLECMDEXECOPT_DONTPROMPTUSER, {}, &value);
    s.fontSizeIndex = FontSizeIndexOf(hr, value);

    s.alignment = AlignmentOf(html.QueryDocCommand(kDocCmdJustifyRight, false),
                              html.QueryDocCommand(kDocCmdJustifyCenter, false));
    DocCommandState ordered = html.QueryDocCommand(kDocCmdOrderedList, false);
    DocCommandState unordered = html.QueryDocCommand(kDocCmdUnorderedList, false);
    s.numbers = ordered.enabled && ordered.latched;
    s.bullets = unordered.enabled && unordered.latched;
    return s;
}

bool EditMenuState::Enabled(EditCommandTag tag) const
{
    switch (tag) {
    case EditCommandTag::Undo:
        return undo;
    case EditCommandTag::Redo:
        return redo;
    case EditCommandTag::Cut:
        return cut;
    case EditCommandTag::Copy:
        return copy;
    case EditCommandTag::Paste:
        return paste;
    case EditCommandTag::Delete:
        return del;
    default:
        return true;
    }
}

EditMenuState ReadEditMenuState(int view, BrowseViewPort& browse, HtmlViewPort& html, TextViewPort& text)
{
    EditMenuState s;
    switch (view) {
    case kViewBrowse:
        // A page in the browser is not editable: what it allows is read from the document.
        s.cut = browse.QueryCommandEnabled("Delete").value_or(false);
        s.copy = browse.QueryCommandEnabled("Copy").value_or(false);
        s.paste = browse.QueryCommandEnabled("Paste").value_or(false);
        s.del = s.cut;
        break;
    case kViewHtml:
        s.undo = StatusEnabled(html.QueryStatus(web::DECMD_UNDO));
        s.redo = StatusEnabled(html.QueryStatus(web::DECMD_REDO));
        s.cut = StatusEnabled(html.QueryStatus(web::DECMD_CUT));
        s.copy = StatusEnabled(html.QueryStatus(web::DECMD_COPY));
        s.paste = StatusEnabled(html.QueryStatus(web::DECMD_PASTE));
        s.del = s.cut;
        break;
    case kViewText:
        s.undo = text.CanUndo();
        s.cut = s.copy = s.del = text.HasSelection();
        s.paste = true;
        break;
    default:
        break;
    }
    return s;
}

bool InsertFormatEnabled(int view) { return view == kViewHtml; }

TableMenuState ReadTableMenuState(HtmlViewPort& html)
{
    auto enabled = [&](std::uint32_t command) { return html.QueryDocCommand(command, true).enabled; };
    TableMenuState s;
    s.row = s.column = s.cell = enabled(kTableCmdInsert);
    s.deleteRows = enabled(kTableCmdDeleteRows);
    s.deleteCells = enabled(kTableCmdDeleteCells);
    s.deleteColumns = enabled(kTableCmdDeleteColumns);
    s.mergeCells = enabled(kTableCmdMergeCells);
    s.splitCell = enabled(kTableCmdSplitCell);
    return s;
}

}  // namespace ql
