#pragma once
// The editor window's menus and toolbars built from its command table (FormCommandTable.h): the
// items and tools run the form's handlers, and show the states the table ties them to.
#include "app/editor/FormCommandTable.h"

#include <map>
#include <utility>
#include <vector>

class wxMenu;
class wxMenuItem;
class wxToolBar;
class wxWindow;

namespace ql {

class FormCommandBars {
public:
    // Menu items report to `owner`, which hands them to `handlers`.
    FormCommandBars(wxWindow& owner, FormCommandHandlers& handlers, OfferedCommands offered);

    // A new menu with the commands of `place` (a menu or the pop-up menu).
    wxMenu* CreateMenu(CommandPlace place);
    // Appends the tools of `place` to `bar`; the caller realizes the bar.
    void AddTools(wxToolBar* bar, CommandPlace place);

    // The submenu a DropDown command got in the menus; nullptr before.
    wxMenu* Submenu(FormCommand id) const;
    // The menu of a DropDown command's toolbar button; nullptr before.
    wxMenu* DropDownMenu(FormCommand id) const;
    // The id of the command's tool; wxID_NONE before.
    int ToolId(FormCommand id) const;

    // Enables or disables the menu items enabled `when`.
    void Enable(EnabledWhen when, bool enabled);
    // Ticks each Check item as its setting stands.
    void ShowTicks(const TSettings& settings);

private:
    void AppendItem(wxMenu* menu, const FormCommandEntry& entry, wxWindow* binder);
    wxMenu* CreateItemsMenu(const FormCommandEntry& entry, wxWindow* binder);

    wxWindow& owner_;
    FormCommandHandlers& handlers_;
    OfferedCommands offered_;
    std::vector<std::pair<const FormCommandEntry*, wxMenuItem*>> items_;
    std::map<FormCommand, wxMenu*> submenus_;
    std::map<FormCommand, wxMenu*> dropDownMenus_;
    std::map<FormCommand, int> toolIds_;
};

}  // namespace ql
