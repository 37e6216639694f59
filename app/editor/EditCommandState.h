#pragma once
// What the editing toolbar and the Edit, Insert, Format and Table menus show: the pressed
// buttons, font name and size of the HTML view's selection, and which menu items are enabled,
// worked out from the controls' status answers.
#include "app/editor/EditCommandPorts.h"
#include "app/editor/EditCommandTable.h"

#include <array>
#include <cstdint>
#include <string>

namespace ql {

// FontSizeList's items, the HTML font sizes.
inline constexpr std::array<const char*, 7> kFontSizeItems{"1", "2", "3", "4", "5", "6", "7"};
// The item shown when the selection has no font size of its own ("3").
inline constexpr int kDefaultFontSizeIndex = 2;

// Commands of the document's editing group read for the toolbar.
inline constexpr std::uint32_t kDocCmdJustifyCenter = 57;
inline constexpr std::uint32_t kDocCmdJustifyRight = 60;
inline constexpr std::uint32_t kDocCmdOrderedList = 2184;
inline constexpr std::uint32_t kDocCmdUnorderedList = 2185;

// QueryStatus answers: latched when all bits of 7 are set (a mixed selection, 11, is not);
// enabled when both bits of 3 are.
bool StatusLatched(std::int32_t status);
bool StatusEnabled(std::int32_t status);

enum class Alignment { Left, Center, Right };

struct ToolbarState {
    bool bold = false, italic = false, underline = false;
    std::string fontName;
    int fontSizeIndex = -1;  // index among kFontSizeItems; -1 shows no item
    Alignment alignment = Alignment::Left;
    bool numbers = false, bullets = false;
};

// The font name read from the control: its text; "" for a null answer or a failure.
std::string FontNameOf(com::HRESULT result, const com::Variant& value);
// The FontSizeList item of the size read from the control: the index of its text among the
// items, -1 when it is none of them or the read failed, item "3" for a null answer.
int FontSizeIndexOf(com::HRESULT result, const com::Variant& value);
// Right when right is enabled and latched, else centre when centre is, else left.
Alignment AlignmentOf(DocCommandState right, DocCommandState centre);

// The toolbar for the HTML view's current selection.
ToolbarState ReadToolbarState(HtmlViewPort& html);

struct EditMenuState {
    bool undo = false, redo = false, cut = false, copy = false, paste = false, del = false;
    // Select All and Find are always enabled; tags outside the menu give true.
    bool Enabled(EditCommandTag tag) const;
};

// The Edit menu's items for the active view (0 Browse, 1 HTML, 2 Text; any other disables them).
EditMenuState ReadEditMenuState(int view, BrowseViewPort& browse, HtmlViewPort& html, TextViewPort& text);

// The Insert and Format menus work on the HTML view only.
bool InsertFormatEnabled(int view);

// Commands of the table group behind the Table submenu's items.
inline constexpr std::uint32_t kTableCmdInsert = 14;  // "&Row", "&Column" and "Ce&ll"
inline constexpr std::uint32_t kTableCmdDeleteRows = 16;
inline constexpr std::uint32_t kTableCmdDeleteColumns = 17;
inline constexpr std::uint32_t kTableCmdMergeCells = 18;
inline constexpr std::uint32_t kTableCmdSplitCell = 19;
inline constexpr std::uint32_t kTableCmdDeleteCells = 21;

struct TableMenuState {
    bool row = false, column = false, cell = false;
    bool deleteRows = false, deleteColumns = false, deleteCells = false;
    bool mergeCells = false, splitCell = false;
};
TableMenuState ReadTableMenuState(HtmlViewPort& html);

}  // namespace ql
