#pragma once
// The editor window's own commands: the items of its Nodes, Html, Tools and Help menus and of the
// tree's pop-up menu, and the tools of the tree toolbar, the DocBar and the Browse and Text
// views' bars. Each command is one entry here (caption, handler, when it is enabled or offered);
// the menus and toolbars are built from it and the tests read it. The editing commands have
// their own table (EditCommandTable.h).
#include <span>
#include <vector>

namespace ql {

struct TSettings;

// The form's handlers the commands run, under the form's own names.
class FormCommandHandlers {
public:
    virtual ~FormCommandHandlers() = default;
    virtual void AddItemBClick() = 0;
    virtual void AddSubItemBClick() = 0;
    virtual void AddClipboardBClick() = 0;
    virtual void SaveAs1Click() = 0;
    virtual void Export1Click() = 0;
    virtual void ToolButton31Click() = 0;  // delete the node
    virtual void ToolButton3Click() = 0;   // expand all
    virtual void ToolButton5Click() = 0;   // collapse all
    virtual void ExpandAll2Click() = 0;
    virtual void CollapseAll2Click() = 0;
    virtual void Rename1Click() = 0;
    virtual void CreateIndexHtml1Click() = 0;
    virtual void Backupallcollection1Click() = 0;
    virtual void Exit1Click() = 0;
    virtual void ToolButton12Click() = 0;  // new (clear) page
    virtual void ToolButton46Click() = 0;  // open a file as the page
    virtual void ToolButton14Click() = 0;  // save the page
    virtual void ToolButton6Click() = 0;   // reload the page
    virtual void Print1Click() = 0;
    virtual void ToolButton55Click() = 0;   // open in the browser
    virtual void ToolButton112Click() = 0;  // open the original homepage
    virtual void ToolButton41Click() = 0;   // back
    virtual void ToolButton45Click() = 0;   // forward
    virtual void ToolButton44Click() = 0;   // stop
    virtual void ToolButton43Click() = 0;   // refresh
    virtual void MenuEditPageClick() = 0;   // fills the "Edit With" menus
    virtual void ToolButton54Click() = 0;   // edit with the chosen program
    virtual void ToolButton51Click() = 0;   // the page as the desktop's wallpaper
    virtual void ClearDesktop1Click() = 0;
    virtual void SearchBClick() = 0;
    virtual void Search2Click() = 0;
    virtual void ShowCollectionTree1Click() = 0;
    virtual void ShowToolbar1Click() = 0;
    virtual void ShowImagesFolder1Click() = 0;
    virtual void Options1Click() = 0;
    virtual void HelpDocument1Click() = 0;
    virtual void SoftwareHomepage1Click() = 0;
    virtual void Suggestions1Click() = 0;
    virtual void About1Click() = 0;
    virtual void ToolButton8Click() = 0;  // the page as pure text
    virtual void ToolButton9Click() = 0;  // word wrap
};

using FormHandler = void (FormCommandHandlers::*)();

enum class FormCommand : int {
    Separator = 0,  // in a place's list: a separator
    AddNode,
    AddChildNode,
    SaveHomepageAs,
    ExportNode,
    DeleteNode,
    ExpandAll,
    CollapseAll,
    CreateIndexHtml,
    OpenStorageFolder,
    Exit,
    NewPage,
    OpenPage,
    SavePage,
    SaveAs,
    Print,
    Reload,
    OpenWithBrowser,
    EditWith,
    ActiveDesktop,
    SetAsDesktop,
    ClearDesktop,
    Search,
    ShowCollectionTree,
    ShowToolbar,
    ShowImagesFolder,
    Options,
    HelpDocument,
    SoftwareHomepage,
    Suggestions,
    About,
    Rename,
    OpenInBrowser,
    OpenOriginalHomepage,
    Expand,
    Collapse,
    SearchPanel,
    AddClipboard,
    DeleteTool,
    SaveTool,
    ExitTool,
    Back,
    Forward,
    Stop,
    Refresh,
    ClearTags,
    WordWrap,
};

enum class CommandKind {
    Normal,
    Check,     // a ticked item, a tool that stays down
    DropDown,  // a submenu in a menu, a button with a drop-down menu on a toolbar
};

enum class EnabledWhen {
    Always,
    PageView,  // the page's own commands: only while the HTML or Text view shows
};

// The drop zone's commands the editor offers only when the zone gives them.
enum class OfferedWhen { Always, ZoneOptions, ZoneAbout, ZoneExit };

struct FormCommandEntry {
    FormCommand id;
    const char* caption;
    FormHandler handler;
    EnabledWhen enabled = EnabledWhen::Always;
    OfferedWhen offered = OfferedWhen::Always;
    CommandKind kind = CommandKind::Normal;
    const char* hint = nullptr;               // tool tip and menu help; a tool without one shows its caption
    bool TSettings::*ticked = nullptr;        // a Check item: the setting its tick shows
    std::span<const FormCommand> items = {};  // a DropDown: the commands of its menu
    FormHandler opening = nullptr;            // a DropDown: fills its menu before it shows
    const char* filler = nullptr;             // a DropDown submenu's item until it is filled
};

enum class CommandPlace {
    NodesMenu,
    HtmlMenu,
    ToolsMenu,
    HelpMenu,
    TreePopup,
    TreeToolbar,
    DocBar,
    BrowseToolbar,
    TextToolbar,
};

// Which of the zone's commands the editor offers.
struct OfferedCommands {
    bool options = false;
    bool about = false;
    bool exit = false;
};

std::span<const FormCommandEntry> FormCommands();
// The entry of `id`; nullptr for Separator and numbers that name no command.
const FormCommandEntry* FormCommandOf(FormCommand id);
// A menu's title; nullptr for the pop-up menu and the toolbars.
const char* MenuTitle(CommandPlace place);
// The commands of `place` in order, separators included.
std::span<const FormCommand> CommandsOf(CommandPlace place);
// What `place` shows: the commands offered, with no separator first, last or twice in a row.
std::vector<FormCommand> ShownCommands(CommandPlace place, OfferedCommands offered);

}  // namespace ql
