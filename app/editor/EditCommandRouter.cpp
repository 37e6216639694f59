#include "app/editor/EditCommandRouter.h"

#include "app/editor/session/EditorPorts.h"
#include "foundation/VekCollectClass.h"
#include "platform/core/ErrorLog.h"
#include "platform/core/com/OleCommandTarget.h"
#include "platform/gui/HtmlEditCommands.h"

#include <utility>

namespace ql {

namespace {

// The controls report failures by their results; anything thrown on the way (an allocation,
// a conversion) ends the command the same way, without reaching the event loop.
template <class F>
void Swallowing(F&& f)
{
    GuardHandler("edit command", std::forward<F>(f));
}

}  // namespace

EditCommandRouter::EditCommandRouter(std::function<int()> activeView, BrowseViewPort& browse, HtmlViewPort& html,
                                     TextViewPort& text, EditCommandDialogs& dialogs, std::function<std::tm()> now)
    : activeView_(std::move(activeView)),
      browse_(browse),
      html_(html),
      text_(text),
      dialogs_(dialogs),
      now_(std::move(now))
{
}

void EditCommandRouter::tbBoldClick(int tag)
{
    Swallowing([&] { Run(EditCommandOfTag(tag), activeView_ ? activeView_() : -1); });
}

void EditCommandRouter::EditMenuCommand(int tag)
{
    Swallowing([&] {
        const EditCommand& command = EditCommandOfTag(tag);
        const int view = activeView_ ? activeView_() : -1;
        if (ReadEditMenuState(view, browse_, html_, text_).Enabled(command.tag))
            Run(command, view);
    });
}

void EditCommandRouter::Run(const EditCommand& command, int view)
{
    switch (view) {
    case kViewBrowse:
        RunBrowse(command);
        break;
    case kViewHtml:
        if (command.html == HtmlAction::Exec)
            ExecEditCommand(command.decmd, command.option);
        else if (command.html == HtmlAction::PickFontColor)
            PickFontColor();
        break;
    case kViewText:
        RunText(command);
        break;
    default:
        break;
    }
}

void EditCommandRouter::RunBrowse(const EditCommand& command)
{
    switch (command.browse) {
    case BrowseAction::None:
        break;
    case BrowseAction::DocumentCommand:
        browse_.ExecDocumentCommand(command.browseCommand);
        break;
    case BrowseAction::CopySelection:
        browse_.CopySelection();
        break;
    case BrowseAction::SelectAll:
        browse_.SelectAllContent();
        break;
    case BrowseAction::FindDialog:
        browse_.OpenFindDialog();
        break;
    }
}

void EditCommandRouter::RunText(const EditCommand& command)
{
    switch (command.text) {
    case TextAction::None:
        break;
    case TextAction::Undo:
        text_.Undo();
        break;
    case TextAction::Cut:
        text_.Cut();
        break;
    case TextAction::Copy:
        text_.Copy();
        break;
    case TextAction::Paste:
        text_.Paste();
        break;
    case TextAction::Delete:
        text_.DeleteSelection();
        break;
    case TextAction::SelectAll:
        text_.SelectAll();
        break;
    case TextAction::Find:
        text_.ShowFind();
        break;
    }
}

void EditCommandRouter::ExecEditCommand(std::int32_t command, std::uint32_t option, const com::Variant& in)
{
    Swallowing([&] { html_.ExecCommand(command, option, in, nullptr); });
}

void EditCommandRouter::PickFontColor()
{
    Swallowing([&] {
        com::Variant current;
        if (com::FAILED(html_.ExecCommand(web::DECMD_GETFORECOLOR, com::OLECMDEXECOPT_DODEFAULT, {}, &current)))
            return;
        std::uint32_t color = HtmlColorToColor(current.ToUtf8());
        if (!dialogs_.PickColor(color))
            return;
        html_.ExecCommand(web::DECMD_SETFORECOLOR, com::OLECMDEXECOPT_DODEFAULT,
                          com::Variant::Text(ColorToHtmlColor(color)), nullptr);
    });
}

void EditCommandRouter::ApplyFontValue(std::int32_t command, const std::string& value)
{
    Swallowing([&] {
        // A size or font is applied only where the control allows it now (not before a
        // document is loaded, say).
        if (html_.QueryStatus(command) >= web::DECMDF_ENABLED)
            html_.ExecCommand(command, com::OLECMDEXECOPT_DONTPROMPTUSER, com::Variant::Text(value), nullptr);
        html_.Focus();
    });
}

void EditCommandRouter::FontSizeListChange(int itemIndex)
{
    ApplyFontValue(web::DECMD_SETFONTSIZE, std::to_string(itemIndex + 1));
}

void EditCommandRouter::FontListChange(const std::string& fontName)
{
    ApplyFontValue(web::DECMD_SETFONTNAME, fontName);
}

std::optional<ToolbarState> EditCommandRouter::dtDisplayChanged(bool htmlViewActive)
{
    std::optional<ToolbarState> state;
    Swallowing([&] {
        if (htmlViewActive && html_.Exists() && !html_.Busy())
            state = ReadToolbarState(html_);
    });
    return state;
}

EditMenuState EditCommandRouter::Edit1Click()
{
    EditMenuState state;
    Swallowing([&] { state = ReadEditMenuState(activeView_ ? activeView_() : -1, browse_, html_, text_); });
    return state;
}

TableMenuState EditCommandRouter::Table1Click()
{
    TableMenuState state;
    Swallowing([&] { state = ReadTableMenuState(html_); });
    return state;
}

bool EditCommandRouter::nActionClick()
{
    bool enabled = false;
    Swallowing([&] { enabled = InsertFormatEnabled(activeView_ ? activeView_() : -1); });
    return enabled;
}

void EditCommandRouter::nFontClick() { ExecEditCommand(web::DECMD_FONT, com::OLECMDEXECOPT_PROMPTUSER); }

void EditCommandRouter::nBGColorClick()
{
    Swallowing([&] {
        std::optional<std::string> current = html_.BackgroundColor();
        if (!current)
            return;
        std::uint32_t color = HtmlColorToColor(*current);
        if (dialogs_.PickColor(color))
            html_.SetBackgroundColor(ColorToHtmlColor(color));
    });
}

void EditCommandRouter::nBGPictureClick()
{
    Swallowing([&] {
        if (std::optional<std::string> path = dialogs_.PickPicture())
            html_.SetBackgroundPicture(*path);
    });
}

void EditCommandRouter::InsertDateTime1Click()
{
    Swallowing([&] {
        const int view = activeView_ ? activeView_() : -1;
        if (view != kViewHtml && view != kViewText)
            return;
        std::string stamp = DateTimeStamp(now_ ? now_() : LocalTimeNow());
        if (view == kViewHtml) {
            html_.ReplaceSelectionHtml([&](const std::string&) { return stamp; });
        } else if (text_.Editable()) {
            TextWithCaret r = InsertAtCaret(text_.Text(), text_.Caret(), stamp);
            text_.ReplaceText(r.text, r.caret);
        }
    });
}

void EditCommandRouter::nInsertLineClick()
{
    Swallowing(
        [&] { html_.ReplaceSelectionHtml([](const std::string&) { return std::string(kHorizontalLineHtml); }); });
}

void EditCommandRouter::HighlightBClick()
{
    Swallowing([&] { html_.ReplaceSelectionHtml([](const std::string& former) { return HighlightSpan(former); }); });
}

}  // namespace ql
