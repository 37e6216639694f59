// TEditorForm: the search panel, the export commands, the Browse view's tools, the "Tools" and
// "&Help" menus and the DocBar's outward buttons. Each handler hands over to its controller.
#include "app/editor/EditorFormPorts_wx.h"
#include "app/editor/ExportCommands.h"
#include "app/editor/FormCommandBars_wx.h"
#include "app/editor/SearchPanel_wx.h"
#include "app/editor/TextPrintout_wx.h"
#include "components/browserhost/WebHost_wx.h"
#include "foundation/VekIEClass.h"
#include "platform/core/RuntimeDir.h"
#include "platform/gui/DesktopWallpaper.h"
#include "platform/gui/HtmlEditControl_wx.h"

#include <wx/display.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>
#include <wx/treectrl.h>

#include <cstdlib>

namespace ql {

// --- the ports --------------------------------------------------------------------------------

bool TEditorForm::Tools::PanelVisible() const { return form_.SearchPanel->IsShown(); }

void TEditorForm::Tools::ShowPanel(bool show)
{
    // The panel takes the tree's place below the tree toolbar.
    form_.SearchPanel->Show(show);
    form_.TV->Show(!show);
    form_.TreePanel->Layout();
    if (show)
        form_.SearchPanel->SearchEdit->SetFocus();
}

void TEditorForm::Tools::SetSearchButtonDown(bool down)
{
    form_.ToolBar_main->ToggleTool(form_.formBars_->ToolId(FormCommand::SearchPanel), down);
}

void TEditorForm::Tools::ShowRows(const std::vector<SearchRow>& rows) { form_.SearchPanel->ShowRows(rows); }

int TEditorForm::Tools::BrowseTag() const { return form_.web->Tag; }

void TEditorForm::Tools::SetBrowseTag(int tag) { form_.web->Tag = tag; }

void TEditorForm::Tools::HighlightInBrowse(const std::string& text)
{
    com::ComPtr<com::IDispatch> document = form_.web->Document();
    HighlightText(text, document.get());
}

void TEditorForm::Tools::PrintBrowse() { form_.web->PrintDocument(); }

void TEditorForm::Tools::PrintHtml()
{
    if (form_.HtmlEditor)
        form_.HtmlEditor->PrintDocument();
}

void TEditorForm::Tools::PrintText(const std::string& jobTitle)
{
    TextPrintout printout(wxString::FromUTF8(jobTitle), form_.SourceEditor->GetValue());
    wxPrinter printer;
    printer.Print(&form_, &printout, false);
}

void TEditorForm::Tools::RenderToPicture(const std::string& pageFile, const std::string& pngFile,
                                         std::function<void(bool ok)> done)
{
    const wxRect screen = wxDisplay(static_cast<unsigned>(std::max(0, wxDisplay::GetFromWindow(&form_)))).GetGeometry();
    // A new picture replaces one still being rendered; that one reports nothing.
    snapshot_ = web::PageSnapshot::Start(pageFile, pngFile, screen.width, screen.height, std::move(done));
}

// --- creation ---------------------------------------------------------------------------------

void TEditorForm::CreateSearchPanel()
{
    SearchPanel = new TSearchPanel(TreePanel);
    SearchPanel->Hide();
    TreePanel->GetSizer()->Add(SearchPanel, 1, wxEXPAND);
    SearchPanel->OnRunSearch = [this] { RunSearch(); };
    SearchPanel->OnRowClicked = [this] { SearchLVClick(); };
}

void TEditorForm::CreateBrowseTools()
{
    BrowseTools = new wxToolBar(ToolBar3, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                wxTB_FLAT | wxTB_HORIZONTAL | wxTB_NODIVIDER);
    formBars_->AddTools(BrowseTools, CommandPlace::BrowseToolbar);
    BrowseTools->Realize();
}

void TEditorForm::CreateDocBarTools()
{
    formBars_->AddTools(DocBar, CommandPlace::DocBar);
    EditWithButtonMenu = formBars_->DropDownMenu(FormCommand::EditWith);
}

void TEditorForm::CreateToolMenus(wxMenuBar* bar)
{
    Tools1 = formBars_->CreateMenu(CommandPlace::ToolsMenu);
    MenuEditPage = formBars_->Submenu(FormCommand::EditWith);
    bar->Append(Tools1, MenuTitle(CommandPlace::ToolsMenu));
    bar->Append(formBars_->CreateMenu(CommandPlace::HelpMenu), MenuTitle(CommandPlace::HelpMenu));
}

void TEditorForm::OnMenuOpen(wxMenuEvent& event)
{
    event.Skip();
    if (closing_)
        return;
    wxMenu* menu = event.GetMenu();
    if (menu == File1) {
        File1Click();
    } else if (menu == Tools1) {
        Tools1Click();
        MenuEditPageClick();
    } else if (menu == MenuEditPage) {
        MenuEditPageClick();
    }
}

ActiveDesktop& TEditorForm::Desktop()
{
    if (!activeDesktop_) {
        schemaSettings_ = MakeGioSchemaSettings();
        xfceConfig_ = MakeXfconfQuery();
        const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
        wallpaper_ = std::make_unique<DesktopWallpaper>(desktop ? desktop : "", *schemaSettings_, *xfceConfig_);
        activeDesktop_ = std::make_unique<ActiveDesktop>(*session_, *setup_.dialogs, *wallpaper_, *tools_, ConfigDir());
    }
    return *activeDesktop_;
}

// --- handlers ---------------------------------------------------------------------------------

void TEditorForm::SearchBClick() { search_->SearchBClick(); }
void TEditorForm::Search2Click() { search_->Search2Click(); }
void TEditorForm::RunSearch()
{
    search_->RunSearch(SearchPanel->SearchText(), SearchPanel->ResultOnly(), SearchPanel->TitleOnly());
}
void TEditorForm::SearchLVClick() { search_->SearchLVClick(SearchPanel->SelectedRow()); }
void TEditorForm::webDocumentComplete()
{
    if (!closing_)
        search_->webDocumentComplete(SearchPanel->SearchText());
}

void TEditorForm::webStatusTextChange(const std::string& text)
{
    if (!closing_)
        window_->SetStatusText(browseStatus_->Change(StatusText(), text));
}

void TEditorForm::SaveAs1Click() { export_->SaveAs1Click(); }
void TEditorForm::Export1Click() { export_->Export1Click(); }
void TEditorForm::CreateIndexHtml1Click() { export_->CreateIndexHtml1Click(); }

void TEditorForm::ToolButton41Click() { web->GoBack(); }
void TEditorForm::ToolButton45Click() { web->GoForward(); }
void TEditorForm::ToolButton44Click() { web->Stop(); }
void TEditorForm::ToolButton43Click() { web->RefreshPage(); }
void TEditorForm::ToolButton112Click() { browseTools_->ToolButton112Click(); }
void TEditorForm::ToolButton55Click() { browseTools_->ToolButton55Click(); }

void TEditorForm::MenuEditPageClick()
{
    if (!editWith_->Fill())
        return;
    // The placeholder goes once the entries are known.
    while (MenuEditPage->GetMenuItemCount() > 0)
        MenuEditPage->Destroy(MenuEditPage->FindItemByPosition(0));
    for (std::size_t i = 0; i < editWith_->Entries().size(); ++i) {
        const wxString caption = wxString::FromUTF8(editWith_->Entries()[i].name);
        const wxString hint = wxString::FromUTF8(editWith_->ProgramOf(i));
        for (wxMenu* menu : {MenuEditPage, EditWithButtonMenu}) {
            wxMenuItem* it = menu->Append(wxWindow::NewControlId(), caption, hint);
            menu->Bind(
                wxEVT_MENU, [this, i](wxCommandEvent&) { editWith_->EditWithItemClick(i); }, it->GetId());
        }
    }
}

void TEditorForm::ToolButton54Click()
{
    MenuEditPageClick();
    editWith_->ToolButton54Click();
}

void TEditorForm::ToolButton51Click() { Desktop().ToolButton51Click(); }
void TEditorForm::ClearDesktop1Click() { Desktop().ClearDesktop1Click(); }
void TEditorForm::HelpDocument1Click() { browseTools_->HelpDocument1Click(); }
void TEditorForm::SoftwareHomepage1Click() { browseTools_->SoftwareHomepage1Click(); }
void TEditorForm::Suggestions1Click() { browseTools_->Suggestions1Click(); }
void TEditorForm::Backupallcollection1Click() { browseTools_->Backupallcollection1Click(); }

void TEditorForm::Print1Click()
{
    const TreeNode* node = tree_.Selected();
    BrowseToolCommands::Print1Click(ActiveView(), *tools_, node ? node->Text() : std::string());
}

void TEditorForm::File1Click()
{
    formBars_->Enable(EnabledWhen::PageView, BrowseToolCommands::PageItemsEnabled(ActiveView()));
}

void TEditorForm::Tools1Click() { formBars_->ShowTicks(setup_.context.settings); }

void TEditorForm::ShowCollectionTree1Click()
{
    TSettings& s = setup_.context.settings;
    s.ShowTree = !s.ShowTree;
    formBars_->ShowTicks(s);
    ApplyLayout();
}

void TEditorForm::ShowToolbar1Click()
{
    TSettings& s = setup_.context.settings;
    s.ShowToolbar = !s.ShowToolbar;
    formBars_->ShowTicks(s);
    ApplyLayout();
}

// The dialogs and the exit are the drop zone's. The Options dialog holds none of the layout
// switches, so the layout stays as it was.
void TEditorForm::Options1Click()
{
    if (setup_.showOptions)
        setup_.showOptions();
}

void TEditorForm::About1Click()
{
    if (setup_.showAbout)
        setup_.showAbout();
}

void TEditorForm::Exit1Click()
{
    if (setup_.exitProgram)
        setup_.exitProgram();
}

void TEditorForm::ShowImagesFolder1Click()
{
    TSettings& s = setup_.context.settings;
    s.ShowImageList = !s.ShowImageList;
    formBars_->ShowTicks(s);
    ApplyLayout();
}

}  // namespace ql
