#pragma once
// The editing commands of the editor window: the one handler behind every toolbar button and
// menu item that carries a command number (tbBoldClick), dispatched by the active view through
// the table of EditCommandTable.h, and the handlers of the font lists, colours, inserts, the
// toolbar refresh and the menus' enabled states. The window only turns events into these
// calls and shows what they return. Failures of the controls are swallowed: the document stays
// as it was and nothing is reported.
#include "app/editor/EditCommandPorts.h"
#include "app/editor/EditCommandState.h"
#include "app/editor/EditTextInserts.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace ql {

class EditCommandRouter {
public:
    // `activeView`: 0 Browse, 1 HTML, 2 Text. `now` gives the local time for "Date and Time".
    EditCommandRouter(std::function<int()> activeView, BrowseViewPort& browse, HtmlViewPort& html, TextViewPort& text,
                      EditCommandDialogs& dialogs, std::function<std::tm()> now = LocalTimeNow);

    // The command `tag` (the sender's Tag; 0 for a separator or a sender without one) in the
    // active view.
    void tbBoldClick(int tag);
    // An Edit-menu item chosen by a click or by its shortcut: runs when the item's state, read
    // afresh for the active view, is enabled (a shortcut may come while the menu shows the
    // states of another view).
    void EditMenuCommand(int tag);

    void ExecEditCommand(std::int32_t command, std::uint32_t option, const com::Variant& in = {});
    void PickFontColor();
    // FontSizeList chose item `itemIndex` (size itemIndex + 1).
    void FontSizeListChange(int itemIndex);
    void FontListChange(const std::string& fontName);

    // The toolbar for the HTML view's new selection; nullopt (leave the toolbar alone) unless
    // the HTML view is the one in use and its editing control is not busy.
    std::optional<ToolbarState> dtDisplayChanged(bool htmlViewActive);

    EditMenuState Edit1Click();
    TableMenuState Table1Click();
    // Whether the items of the Insert and Format menus are enabled.
    bool nActionClick();

    void nFontClick();
    void nBGColorClick();
    void nBGPictureClick();
    void InsertDateTime1Click();
    void nInsertLineClick();
    void HighlightBClick();

private:
    void Run(const EditCommand& command, int view);
    void RunBrowse(const EditCommand& command);
    void RunText(const EditCommand& command);
    void ApplyFontValue(std::int32_t command, const std::string& value);

    std::function<int()> activeView_;
    BrowseViewPort& browse_;
    HtmlViewPort& html_;
    TextViewPort& text_;
    EditCommandDialogs& dialogs_;
    std::function<std::tm()> now_;
};

}  // namespace ql
