#pragma once
// The command numbers of the editing toolbar and the Edit, Insert and Format menus (the Tag of
// each button or item), with what each one does in the Browse, HTML and Text views. Buttons,
// menus, the dispatcher and the tests all read this one table.
#include <cstdint>

namespace ql {

enum class EditCommandTag : int {
    None = 0,  // separators and any sender without a command
    Bold = 1,
    Italic = 2,
    Underline = 3,
    FontColor = 4,
    Numbers = 5,
    Bullets = 6,
    Outdent = 7,
    Indent = 8,
    LeftJustify = 9,
    Center = 10,
    RightJustify = 11,
    Picture = 12,
    Anchor = 13,
    Undo = 14,
    Redo = 15,
    Cut = 16,
    Copy = 17,
    Paste = 18,
    Delete = 19,
    SelectAll = 20,
    Find = 21,
};

inline constexpr int kFirstEditCommandTag = 1;
inline constexpr int kLastEditCommandTag = 21;

enum class BrowseAction {
    None,
    DocumentCommand,  // the web view's document command `browseCommand` (standard group, option 0)
    CopySelection,
    SelectAll,
    FindDialog,
};

enum class HtmlAction {
    None,
    Exec,           // the editing control's command `decmd` with `option`
    PickFontColor,  // the text colour through the colour dialog
};

enum class TextAction { None, Undo, Cut, Copy, Paste, Delete, SelectAll, Find };

struct EditCommand {
    EditCommandTag tag;
    BrowseAction browse;
    std::uint32_t browseCommand;  // for BrowseAction::DocumentCommand
    HtmlAction html;
    std::int32_t decmd;    // for HtmlAction::Exec
    std::uint32_t option;  // execution option of `decmd`
    TextAction text;
};

// The entry of a sender's Tag; any number outside 1-21 gives the entry of tag 0, which does
// nothing in every view.
const EditCommand& EditCommandOfTag(int tag);

}  // namespace ql
