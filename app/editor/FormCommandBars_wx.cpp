#include "app/editor/FormCommandBars_wx.h"

#include "foundation/VekCollectClass.h"

#include <wx/artprov.h>
#include <wx/menu.h>
#include <wx/toolbar.h>
#include <wx/window.h>

namespace ql {

namespace {

wxArtID ArtOf(FormCommand id)
{
    switch (id) {
    case FormCommand::AddNode:
        return wxART_NEW;
    case FormCommand::AddChildNode:
        return wxART_NEW_DIR;
    case FormCommand::SearchPanel:
        return wxART_FIND;
    case FormCommand::AddClipboard:
        return wxART_PASTE;
    case FormCommand::DeleteTool:
        return wxART_DELETE;
    case FormCommand::SaveTool:
        return wxART_FILE_SAVE;
    case FormCommand::EditWith:
        return wxART_EDIT;
    case FormCommand::ActiveDesktop:
    case FormCommand::OpenOriginalHomepage:
        return wxART_GO_HOME;
    case FormCommand::ExitTool:
        return wxART_QUIT;
    case FormCommand::OpenInBrowser:
        return wxART_HELP_BROWSER;
    case FormCommand::Back:
        return wxART_GO_BACK;
    case FormCommand::Forward:
        return wxART_GO_FORWARD;
    case FormCommand::Stop:
        return wxART_STOP;
    case FormCommand::Refresh:
        return wxART_REFRESH;
    case FormCommand::ClearTags:
        return wxART_CUT;
    case FormCommand::WordWrap:
        return wxART_GOTO_LAST;
    default:
        return wxART_NORMAL_FILE;
    }
}

// The desktop's icon theme may lack a picture (no "help-browser" in every theme): a tool then
// shows a plain document rather than nothing.
wxBitmap ToolArt(const wxArtID& id)
{
    for (const wxArtID& art : {id, wxArtID("web-browser"), wxArtID(wxART_NORMAL_FILE)}) {
        wxBitmap bitmap = wxArtProvider::GetBitmap(art, wxART_TOOLBAR, wxSize(16, 16));
        if (bitmap.IsOk())
            return bitmap;
    }
    return wxBitmap(16, 16);
}

wxString Text(const char* utf8) { return wxString::FromUTF8(utf8 ? utf8 : ""); }

}  // namespace

FormCommandBars::FormCommandBars(wxWindow& owner, FormCommandHandlers& handlers, OfferedCommands offered)
    : owner_(owner), handlers_(handlers), offered_(offered)
{
}

wxMenu* FormCommandBars::CreateMenu(CommandPlace place)
{
    auto* menu = new wxMenu;
    for (FormCommand id : ShownCommands(place, offered_)) {
        const FormCommandEntry* entry = FormCommandOf(id);
        if (!entry) {
            menu->AppendSeparator();
        } else if (entry->kind == CommandKind::DropDown) {
            wxMenu* sub = CreateItemsMenu(*entry, &owner_);
            if (entry->filler)
                sub->Append(wxWindow::NewControlId(), Text(entry->filler));
            menu->AppendSubMenu(sub, Text(entry->caption), Text(entry->hint));
            submenus_[id] = sub;
        } else {
            AppendItem(menu, *entry, &owner_);
        }
    }
    return menu;
}

// The items of a DropDown's menu. In the menus they report to the owner like the others; a
// toolbar button's menu handles them itself.
wxMenu* FormCommandBars::CreateItemsMenu(const FormCommandEntry& entry, wxWindow* binder)
{
    auto* menu = new wxMenu;
    for (FormCommand id : entry.items)
        if (const FormCommandEntry* item = FormCommandOf(id))
            AppendItem(menu, *item, binder);
    return menu;
}

// Binds the item on `binder`, or on its menu when there is none.
void FormCommandBars::AppendItem(wxMenu* menu, const FormCommandEntry& entry, wxWindow* binder)
{
    const wxItemKind kind = entry.kind == CommandKind::Check ? wxITEM_CHECK : wxITEM_NORMAL;
    wxMenuItem* item = menu->Append(wxWindow::NewControlId(), Text(entry.caption), Text(entry.hint), kind);
    const FormHandler handler = entry.handler;
    auto run = [&handlers = handlers_, handler](wxCommandEvent&) { (handlers.*handler)(); };
    if (binder)
        binder->Bind(wxEVT_MENU, run, item->GetId());
    else
        menu->Bind(wxEVT_MENU, run, item->GetId());
    if (kind == wxITEM_CHECK)
        item->Check(true);
    items_.emplace_back(&entry, item);
}

void FormCommandBars::AddTools(wxToolBar* bar, CommandPlace place)
{
    for (FormCommand id : ShownCommands(place, offered_)) {
        const FormCommandEntry* entry = FormCommandOf(id);
        if (!entry) {
            bar->AddSeparator();
            continue;
        }
        const wxString caption = Text(entry->caption);
        const wxString hint = entry->hint ? Text(entry->hint) : caption;
        wxItemKind kind = wxITEM_NORMAL;
        if (entry->kind == CommandKind::Check)
            kind = wxITEM_CHECK;
        else if (entry->kind == CommandKind::DropDown)
            kind = wxITEM_DROPDOWN;
        wxToolBarToolBase* tool = bar->AddTool(wxWindow::NewControlId(), caption, ToolArt(ArtOf(id)), wxNullBitmap,
                                               kind, hint);
        const int toolId = tool->GetId();
        toolIds_[id] = toolId;
        const FormHandler handler = entry->handler;
        bar->Bind(
            wxEVT_TOOL, [&handlers = handlers_, handler](wxCommandEvent&) { (handlers.*handler)(); }, toolId);
        if (kind != wxITEM_DROPDOWN)
            continue;
        wxMenu* menu = CreateItemsMenu(*entry, nullptr);
        bar->SetDropdownMenu(toolId, menu);
        dropDownMenus_[id] = menu;
        if (const FormHandler opening = entry->opening)
            bar->Bind(
                wxEVT_TOOL_DROPDOWN,
                [&handlers = handlers_, opening](wxCommandEvent& event) {
                    (handlers.*opening)();
                    event.Skip();  // the menu shows
                },
                toolId);
    }
}

wxMenu* FormCommandBars::Submenu(FormCommand id) const
{
    auto it = submenus_.find(id);
    return it == submenus_.end() ? nullptr : it->second;
}

wxMenu* FormCommandBars::DropDownMenu(FormCommand id) const
{
    auto it = dropDownMenus_.find(id);
    return it == dropDownMenus_.end() ? nullptr : it->second;
}

int FormCommandBars::ToolId(FormCommand id) const
{
    auto it = toolIds_.find(id);
    return it == toolIds_.end() ? wxID_NONE : it->second;
}

void FormCommandBars::Enable(EnabledWhen when, bool enabled)
{
    for (const auto& [entry, item] : items_)
        if (entry->enabled == when)
            item->Enable(enabled);
}

void FormCommandBars::ShowTicks(const TSettings& settings)
{
    for (const auto& [entry, item] : items_)
        if (entry->ticked)
            item->Check(settings.*(entry->ticked));
}

}  // namespace ql
