#include "app/editor/FormCommandTable.h"

#include "foundation/VekCollectClass.h"

#include <algorithm>
#include <iterator>

namespace ql {

namespace {

using C = FormCommand;
using H = FormCommandHandlers;
using K = CommandKind;

constexpr FormCommand kDesktopItems[] = {C::SetAsDesktop, C::ClearDesktop};

constexpr const char kEditWithHint[] = "Edit with outer program";
constexpr const char kActiveDesktopHint[] = "Set as Active Desktop (Wallpaper)";

const FormCommandEntry kCommands[] = {
    {.id = C::AddNode, .caption = "Add Node", .handler = &H::AddItemBClick},
    {.id = C::AddChildNode, .caption = "Add ChildNode", .handler = &H::AddSubItemBClick},
    {.id = C::SaveHomepageAs, .caption = "Save Homepage As...", .handler = &H::SaveAs1Click},
    {.id = C::ExportNode, .caption = "Export Node (Include ChildNodes)", .handler = &H::Export1Click},
    {.id = C::DeleteNode, .caption = "Delete Node (Include ChildNodes)", .handler = &H::ToolButton31Click},
    {.id = C::ExpandAll, .caption = "Expand All ", .handler = &H::ToolButton3Click},
    {.id = C::CollapseAll, .caption = "Collapse All ", .handler = &H::ToolButton5Click},
    {.id = C::CreateIndexHtml, .caption = "Create Index Html", .handler = &H::CreateIndexHtml1Click},
    {.id = C::OpenStorageFolder, .caption = "Open Storage Folder", .handler = &H::Backupallcollection1Click},
    {.id = C::Exit, .caption = "E&xit", .handler = &H::Exit1Click, .offered = OfferedWhen::ZoneExit},

    {.id = C::NewPage, .caption = "&New (Clear)", .handler = &H::ToolButton12Click, .enabled = EnabledWhen::PageView},
    {.id = C::OpenPage, .caption = "&Open...", .handler = &H::ToolButton46Click, .enabled = EnabledWhen::PageView},
    {.id = C::SavePage, .caption = "&Save", .handler = &H::ToolButton14Click, .enabled = EnabledWhen::PageView},
    {.id = C::SaveAs, .caption = "Save as ...", .handler = &H::SaveAs1Click},
    {.id = C::Print, .caption = "Print...", .handler = &H::Print1Click},
    {.id = C::Reload, .caption = "Reload", .handler = &H::ToolButton6Click, .enabled = EnabledWhen::PageView},

    {.id = C::OpenWithBrowser, .caption = "Open With Browser", .handler = &H::ToolButton55Click},
    {.id = C::EditWith,
     .caption = "Edit With",
     .handler = &H::ToolButton54Click,
     .kind = K::DropDown,
     .hint = kEditWithHint,
     .opening = &H::MenuEditPageClick,
     .filler = "temp"},
    {.id = C::ActiveDesktop,
     .caption = "Active Desktop",
     .handler = &H::ToolButton51Click,
     .kind = K::DropDown,
     .hint = kActiveDesktopHint,
     .items = kDesktopItems},
    {.id = C::SetAsDesktop, .caption = "Set Current Html as Desktop", .handler = &H::ToolButton51Click},
    {.id = C::ClearDesktop, .caption = "Clear Desktop", .handler = &H::ClearDesktop1Click},
    {.id = C::Search, .caption = "Search...", .handler = &H::Search2Click},
    {.id = C::ShowCollectionTree,
     .caption = "Show Collection Tree",
     .handler = &H::ShowCollectionTree1Click,
     .kind = K::Check,
     .ticked = &TSettings::ShowTree},
    {.id = C::ShowToolbar,
     .caption = "Show Toolbar",
     .handler = &H::ShowToolbar1Click,
     .kind = K::Check,
     .ticked = &TSettings::ShowToolbar},
    {.id = C::ShowImagesFolder,
     .caption = "Show Images Folder",
     .handler = &H::ShowImagesFolder1Click,
     .kind = K::Check,
     .ticked = &TSettings::ShowImageList},
    {.id = C::Options, .caption = "Options...", .handler = &H::Options1Click, .offered = OfferedWhen::ZoneOptions},

    {.id = C::HelpDocument, .caption = "Help Document", .handler = &H::HelpDocument1Click},
    {.id = C::SoftwareHomepage, .caption = "Software Homepage", .handler = &H::SoftwareHomepage1Click},
    {.id = C::Suggestions, .caption = "Your Suggestions", .handler = &H::Suggestions1Click},
    {.id = C::About, .caption = "About...", .handler = &H::About1Click, .offered = OfferedWhen::ZoneAbout},

    {.id = C::Rename, .caption = "Rename", .handler = &H::Rename1Click},
    {.id = C::OpenInBrowser, .caption = "Open in Browser", .handler = &H::ToolButton55Click},
    {.id = C::OpenOriginalHomepage, .caption = "Open original homepage", .handler = &H::ToolButton112Click},
    {.id = C::Expand, .caption = "Expand", .handler = &H::ExpandAll2Click},
    {.id = C::Collapse, .caption = "Collapse", .handler = &H::CollapseAll2Click},

    {.id = C::SearchPanel, .caption = "Search...", .handler = &H::SearchBClick, .kind = K::Check},
    {.id = C::AddClipboard, .caption = "Add Clipboard Contents", .handler = &H::AddClipboardBClick},
    {.id = C::DeleteTool, .caption = "Delete", .handler = &H::ToolButton31Click},
    {.id = C::SaveTool, .caption = "Save", .handler = &H::ToolButton14Click},
    {.id = C::ExitTool, .caption = "Exit", .handler = &H::Exit1Click, .offered = OfferedWhen::ZoneExit},
    {.id = C::Back, .caption = "Back", .handler = &H::ToolButton41Click},
    {.id = C::Forward, .caption = "Forward", .handler = &H::ToolButton45Click},
    {.id = C::Stop, .caption = "Stop", .handler = &H::ToolButton44Click},
    {.id = C::Refresh, .caption = "Refresh", .handler = &H::ToolButton43Click},
    {.id = C::ClearTags, .caption = "Clear all HTML tag", .handler = &H::ToolButton8Click},
    {.id = C::WordWrap, .caption = "WordWrap", .handler = &H::ToolButton9Click, .kind = K::Check},
};

constexpr FormCommand kNodesMenu[] = {
    C::AddNode,   C::AddChildNode,    C::Separator,         C::SaveHomepageAs, C::ExportNode,
    C::Separator, C::DeleteNode,      C::Separator,         C::ExpandAll,      C::CollapseAll,
    C::Separator, C::CreateIndexHtml, C::OpenStorageFolder, C::Separator,      C::Exit,
};
constexpr FormCommand kHtmlMenu[] = {
    C::NewPage, C::OpenPage, C::SavePage, C::Separator, C::SaveAs, C::Separator, C::Print, C::Separator, C::Reload,
};
constexpr FormCommand kToolsMenu[] = {
    C::OpenWithBrowser,    C::EditWith,    C::ActiveDesktop,    C::Separator, C::Search,  C::Separator,
    C::ShowCollectionTree, C::ShowToolbar, C::ShowImagesFolder, C::Separator, C::Options,
};
constexpr FormCommand kHelpMenu[] = {C::HelpDocument, C::SoftwareHomepage, C::Separator, C::Suggestions, C::About};
constexpr FormCommand kTreePopup[] = {
    C::Rename, C::Separator, C::OpenInBrowser, C::OpenOriginalHomepage, C::Separator, C::Expand, C::Collapse,
};
constexpr FormCommand kTreeToolbar[] = {
    C::AddNode, C::AddChildNode, C::Separator, C::SearchPanel, C::AddClipboard, C::DeleteTool,
};
// The hidden "Options" button and its separator are left out: a wx toolbar cannot hide a tool.
constexpr FormCommand kDocBar[] = {C::SaveTool, C::Separator, C::EditWith, C::ActiveDesktop, C::Separator, C::ExitTool};
constexpr FormCommand kBrowseToolbar[] = {
    C::OpenOriginalHomepage, C::OpenInBrowser, C::Separator, C::Back, C::Forward, C::Separator, C::Stop, C::Refresh,
};
constexpr FormCommand kTextToolbar[] = {C::ClearTags, C::Separator, C::WordWrap};

bool Offered(const FormCommandEntry& entry, OfferedCommands offered)
{
    switch (entry.offered) {
    case OfferedWhen::Always:
        return true;
    case OfferedWhen::ZoneOptions:
        return offered.options;
    case OfferedWhen::ZoneAbout:
        return offered.about;
    case OfferedWhen::ZoneExit:
        return offered.exit;
    }
    return false;
}

}  // namespace

std::span<const FormCommandEntry> FormCommands() { return kCommands; }

const FormCommandEntry* FormCommandOf(FormCommand id)
{
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [id](const FormCommandEntry& entry) { return entry.id == id; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

const char* MenuTitle(CommandPlace place)
{
    switch (place) {
    case CommandPlace::NodesMenu:
        return "Nodes";
    case CommandPlace::HtmlMenu:
        return "&Html";
    case CommandPlace::ToolsMenu:
        return "Tools";
    case CommandPlace::HelpMenu:
        return "&Help";
    default:
        return nullptr;
    }
}

std::span<const FormCommand> CommandsOf(CommandPlace place)
{
    switch (place) {
    case CommandPlace::NodesMenu:
        return kNodesMenu;
    case CommandPlace::HtmlMenu:
        return kHtmlMenu;
    case CommandPlace::ToolsMenu:
        return kToolsMenu;
    case CommandPlace::HelpMenu:
        return kHelpMenu;
    case CommandPlace::TreePopup:
        return kTreePopup;
    case CommandPlace::TreeToolbar:
        return kTreeToolbar;
    case CommandPlace::DocBar:
        return kDocBar;
    case CommandPlace::BrowseToolbar:
        return kBrowseToolbar;
    case CommandPlace::TextToolbar:
        return kTextToolbar;
    }
    return {};
}

std::vector<FormCommand> ShownCommands(CommandPlace place, OfferedCommands offered)
{
    std::vector<FormCommand> shown;
    bool separatorDue = false;
    for (FormCommand id : CommandsOf(place)) {
        if (id == C::Separator) {
            separatorDue = !shown.empty();
            continue;
        }
        const FormCommandEntry* entry = FormCommandOf(id);
        if (!entry || !Offered(*entry, offered))
            continue;
        if (separatorDue)
            shown.push_back(C::Separator);
        separatorDue = false;
        shown.push_back(id);
    }
    return shown;
}

}  // namespace ql
