#include "app/editor/EditCommandBars_wx.h"

#include "app/editor/EditCommandRouter.h"
#include "app/editor/EditCommandViews_wx.h"
#include "app/editor/EditToolPictures_wx.h"
#include "app/editor/session/EditorPorts.h"

#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/fontenum.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/toolbar.h>
#include <wx/weakref.h>

#include <algorithm>
#include <map>
#include <string_view>
#include <vector>

namespace ql {

namespace {

using Tag = EditCommandTag;

struct ToolItem {
    Tag tag;
    wxItemKind kind;
    EditToolPicture picture;
    const char* hint;  // UTF-8
    bool separatorBefore;
};

// ToolBar1's command buttons after the font lists. Decrease and increase indent are hidden
// buttons, reachable from the Format menu only.
const ToolItem kCommandTools[] = {
    {Tag::Bold, wxITEM_CHECK, EditToolPicture::Bold, "粗体", true},
    {Tag::Italic, wxITEM_CHECK, EditToolPicture::Italic, "斜体", false},
    {Tag::Underline, wxITEM_CHECK, EditToolPicture::Underline, "下划线", false},
    {Tag::FontColor, wxITEM_NORMAL, EditToolPicture::FontColor, "字体颜色", false},
    {Tag::Numbers, wxITEM_CHECK, EditToolPicture::Numbers, "编号", true},
    {Tag::Bullets, wxITEM_CHECK, EditToolPicture::Bullets, "项目符号", false},
    {Tag::LeftJustify, wxITEM_CHECK, EditToolPicture::LeftJustify, "左对齐", false},
    {Tag::Center, wxITEM_CHECK, EditToolPicture::Center, "居中", false},
    {Tag::RightJustify, wxITEM_CHECK, EditToolPicture::RightJustify, "右对齐", false},
    {Tag::Picture, wxITEM_NORMAL, EditToolPicture::Picture, "", true},
    {Tag::Anchor, wxITEM_NORMAL, EditToolPicture::Anchor, "", false},
};

struct MenuEntry {
    const char* caption;  // "-" is a separator
    Tag tag;
};

const MenuEntry kEditMenu[] = {
    {"&Undo\tCtrl+Z", Tag::Undo},
    {"Redo", Tag::Redo},
    {"-", Tag::None},
    {"Cu&t", Tag::Cut},
    {"&Copy", Tag::Copy},
    {"&Paste", Tag::Paste},
    {"&Delete", Tag::Delete},
    {"-", Tag::None},
    {"Select &All\tCtrl+A", Tag::SelectAll},
    {"-", Tag::None},
    {"&Find...\tCtrl+F", Tag::Find},
};

}  // namespace

class EditCommandBars::Impl : public wxEvtHandler {
public:
    explicit Impl(EditCommandTargets t)
        : targets(std::move(t)),
          browse(targets.web),
          html(targets.htmlEditor),
          text(targets.sourceEditor),
          wxDialogs([this] { return DialogParent(); }),
          dialogs(*this),
          router(targets.activeView, browse, html, text, dialogs)
    {
    }

    // The wx dialogs, or the ones a test put in their place.
    class Dialogs final : public EditCommandDialogs {
    public:
        explicit Dialogs(Impl& impl) : impl_(impl) {}
        bool PickColor(std::uint32_t& color) override { return Current().PickColor(color); }
        std::optional<std::string> PickPicture() override { return Current().PickPicture(); }

    private:
        EditCommandDialogs& Current() { return impl_.dialogsOverride ? *impl_.dialogsOverride : impl_.wxDialogs; }
        Impl& impl_;
    };

    EditCommandTargets targets;
    WxBrowseView browse;
    WxHtmlView html;
    WxTextView text;
    WxEditCommandDialogs wxDialogs;
    EditCommandDialogs* dialogsOverride = nullptr;
    Dialogs dialogs;
    EditCommandRouter router;

    wxWeakRef<wxToolBar> toolBar;
    wxWeakRef<wxComboBox> fontList;
    wxWeakRef<wxChoice> fontSizeList;
    wxWeakRef<wxFrame> frame;
    wxMenu* editMenu = nullptr;
    wxMenu* insertMenu = nullptr;
    wxMenu* formatMenu = nullptr;
    int backgroundId = wxID_NONE;
    int highlightId = wxID_NONE;
    std::map<Tag, int> toolIds;
    std::map<int, std::function<void()>> toolActions;  // ToolBar1's buttons and drop-down items
    std::map<int, std::function<void()>> menuActions;  // the menus' items
    std::vector<std::pair<wxMenuItem*, Tag>> editItems;

    wxWindow* DialogParent() const
    {
        if (frame)
            return frame.get();
        return toolBar ? wxGetTopLevelParent(toolBar.get()) : nullptr;
    }

    void AddTool(wxToolBar* tb, const ToolItem& item)
    {
        if (item.separatorBefore)
            tb->AddSeparator();
        wxString hint = wxString::FromUTF8(item.hint);
        wxToolBarToolBase* tool = tb->AddTool(wxID_ANY, hint, DrawEditToolPicture(item.picture), hint, item.kind);
        const int tag = static_cast<int>(item.tag);
        toolIds[item.tag] = tool->GetId();
        toolActions[tool->GetId()] = [this, tag] { router.tbBoldClick(tag); };
    }

    int AddMenuItem(wxMenu* menu, const wxString& caption, std::function<void()> action)
    {
        wxMenuItem* item = menu->Append(wxID_ANY, caption);
        menuActions[item->GetId()] = std::move(action);
        return item->GetId();
    }

    wxMenu* MakeBackgroundMenu(std::map<int, std::function<void()>>& actions)
    {
        auto* menu = new wxMenu;
        actions[menu->Append(wxID_ANY, "Backgroud Picture")->GetId()] = [this] { router.nBGPictureClick(); };
        menu->AppendSeparator();
        actions[menu->Append(wxID_ANY, "Backgroud Color")->GetId()] = [this] { router.nBGColorClick(); };
        return menu;
    }

    void OnTool(wxCommandEvent& event)
    {
        auto it = toolActions.find(event.GetId());
        if (it == toolActions.end()) {
            event.Skip();
            return;
        }
        it->second();
    }

    void OnMenu(wxCommandEvent& event)
    {
        auto it = menuActions.find(event.GetId());
        if (it == menuActions.end()) {
            event.Skip();
            return;
        }
        it->second();
    }

    void OnMenuOpen(wxMenuEvent& event)
    {
        event.Skip();
        wxMenu* menu = event.GetMenu();
        if (!menu)
            return;
        if (menu == editMenu) {
            EditMenuState state = router.Edit1Click();
            for (auto& [item, tag] : editItems)
                item->Enable(state.Enabled(tag));
        } else if (menu == insertMenu || menu == formatMenu) {
            const bool enabled = router.nActionClick();
            for (wxMenuItem* item : menu->GetMenuItems())
                if (!item->IsSeparator())
                    item->Enable(enabled);
        }
    }

    // Once the Edit menu is closed its shortcuts must reach every view again; whether one may
    // run is decided afresh when it is pressed (EditMenuCommand).
    void OnMenuClose(wxMenuEvent& event)
    {
        event.Skip();
        if (event.GetMenu() && event.GetMenu() == editMenu)
            for (auto& [item, tag] : editItems)
                item->Enable(true);
    }

    void OnFontList(wxCommandEvent& event)
    {
        if (fontList)
            router.FontListChange(fontList->GetValue().utf8_string());
        event.Skip(false);
    }

    void OnFontSize(wxCommandEvent& event)
    {
        if (fontSizeList && fontSizeList->GetSelection() != wxNOT_FOUND)
            router.FontSizeListChange(fontSizeList->GetSelection());
        event.Skip(false);
    }
};

EditCommandBars::EditCommandBars(EditCommandTargets targets) : impl_(std::make_unique<Impl>(std::move(targets))) {}

EditCommandBars::~EditCommandBars() = default;

wxToolBar* EditCommandBars::CreateToolBar1(wxWindow* parent)
{
    Impl& d = *impl_;
    auto* tb = new wxToolBar(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxTB_FLAT | wxTB_HORIZONTAL);
    tb->SetToolBitmapSize(wxSize(16, 16));
    d.toolBar = tb;

    wxToolBarToolBase* background = tb->AddTool(
        wxID_ANY, "Background", DrawEditToolPicture(EditToolPicture::Background), "Background", wxITEM_DROPDOWN);
    d.backgroundId = background->GetId();
    d.toolActions[d.backgroundId] = [&d] { d.router.nBGColorClick(); };
    tb->SetDropdownMenu(d.backgroundId, d.MakeBackgroundMenu(d.toolActions));
    wxToolBarToolBase* highlight = tb->AddTool(wxID_ANY, "Highlight Selection",
                                               DrawEditToolPicture(EditToolPicture::Highlight), "Highlight Selection");
    d.highlightId = highlight->GetId();
    d.toolActions[d.highlightId] = [&d] { d.router.HighlightBClick(); };

    tb->AddSeparator();
    wxArrayString fonts = wxFontEnumerator::GetFacenames();
    fonts.Sort();
    auto* fontList = new wxComboBox(tb, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(104, -1), fonts,
                                    wxCB_DROPDOWN | wxTE_PROCESS_ENTER);
    d.fontList = fontList;
    fontList->Bind(wxEVT_COMBOBOX, &Impl::OnFontList, &d);
    fontList->Bind(wxEVT_TEXT_ENTER, &Impl::OnFontList, &d);
    tb->AddControl(fontList);

    tb->AddSeparator();
    wxArrayString sizes;
    for (const char* size : kFontSizeItems)
        sizes.Add(size);
    auto* fontSizeList = new wxChoice(tb, wxID_ANY, wxDefaultPosition, wxDefaultSize, sizes);
    d.fontSizeList = fontSizeList;
    fontSizeList->Bind(wxEVT_CHOICE, &Impl::OnFontSize, &d);
    tb->AddControl(fontSizeList);

    for (const ToolItem& item : kCommandTools)
        d.AddTool(tb, item);
    tb->Bind(wxEVT_TOOL, &Impl::OnTool, &d);
    tb->Realize();
    return tb;
}

void EditCommandBars::AppendMenus(wxFrame* frame, wxMenuBar* bar)
{
    Impl& d = *impl_;
    d.frame = frame;

    d.editMenu = new wxMenu;
    for (const MenuEntry& entry : kEditMenu) {
        if (std::string_view(entry.caption) == "-") {
            d.editMenu->AppendSeparator();
            continue;
        }
        const int tag = static_cast<int>(entry.tag);
        int id = d.AddMenuItem(d.editMenu, entry.caption, [&d, tag] { d.router.EditMenuCommand(tag); });
        d.editItems.emplace_back(d.editMenu->FindItem(id), entry.tag);
    }

    d.insertMenu = new wxMenu;
    d.AddMenuItem(d.insertMenu, "Horizontal Line", [&d] { d.router.nInsertLineClick(); });
    d.insertMenu->AppendSeparator();
    d.AddMenuItem(d.insertMenu, "Date and Time", [&d] { d.router.InsertDateTime1Click(); });
    d.insertMenu->AppendSeparator();
    d.AddMenuItem(d.insertMenu, "Image...", [&d] { d.router.tbBoldClick(static_cast<int>(Tag::Picture)); });
    d.AddMenuItem(d.insertMenu, "Link...", [&d] { d.router.tbBoldClick(static_cast<int>(Tag::Anchor)); });

    d.formatMenu = new wxMenu;
    d.formatMenu->AppendSubMenu(d.MakeBackgroundMenu(d.menuActions), "Background");
    d.formatMenu->AppendSeparator();
    d.AddMenuItem(d.formatMenu, "Text &Font", [&d] { d.router.nFontClick(); });
    d.formatMenu->AppendSeparator();
    auto tagItem = [&d](const char* caption, Tag tag) {
        d.AddMenuItem(d.formatMenu, caption, [&d, tag] { d.router.tbBoldClick(static_cast<int>(tag)); });
    };
    tagItem("Numbered List", Tag::Numbers);
    tagItem("Bullet List", Tag::Bullets);
    d.formatMenu->AppendSeparator();
    tagItem("&Indent", Tag::Indent);
    tagItem("Outdent", Tag::Outdent);

    bar->Append(d.editMenu, "&Edit");
    bar->Append(d.insertMenu, "&Insert");
    bar->Append(d.formatMenu, "&Format");

    for (const auto& [id, action] : d.menuActions)
        frame->Bind(wxEVT_MENU, &Impl::OnMenu, &d, id);
    frame->Bind(wxEVT_MENU_OPEN, &Impl::OnMenuOpen, &d);
    frame->Bind(wxEVT_MENU_CLOSE, &Impl::OnMenuClose, &d);
}

void EditCommandBars::DisplayChanged()
{
    Impl& d = *impl_;
    const bool htmlView = d.targets.activeView && d.targets.activeView() == kViewHtml;
    std::optional<ToolbarState> state = d.router.dtDisplayChanged(htmlView);
    // The queries wait for the web engine: the toolbar may be gone by now.
    if (!state || !d.toolBar)
        return;
    wxToolBar* tb = d.toolBar.get();
    auto press = [&](Tag tag, bool down) {
        auto it = d.toolIds.find(tag);
        if (it != d.toolIds.end())
            tb->ToggleTool(it->second, down);
    };
    press(Tag::Bold, state->bold);
    press(Tag::Italic, state->italic);
    press(Tag::Underline, state->underline);
    press(Tag::LeftJustify, state->alignment == Alignment::Left);
    press(Tag::Center, state->alignment == Alignment::Center);
    press(Tag::RightJustify, state->alignment == Alignment::Right);
    press(Tag::Numbers, state->numbers);
    press(Tag::Bullets, state->bullets);
    if (d.fontList)
        d.fontList->ChangeValue(wxString::FromUTF8(state->fontName));
    if (d.fontSizeList)
        d.fontSizeList->SetSelection(state->fontSizeIndex >= 0 ? state->fontSizeIndex : wxNOT_FOUND);
}

void EditCommandBars::SetDialogs(EditCommandDialogs* dialogs) { impl_->dialogsOverride = dialogs; }

int EditCommandBars::ToolId(EditCommandTag tag) const
{
    auto it = impl_->toolIds.find(tag);
    return it == impl_->toolIds.end() ? wxID_NONE : it->second;
}

int EditCommandBars::BackgroundToolId() const { return impl_->backgroundId; }
int EditCommandBars::HighlightToolId() const { return impl_->highlightId; }
wxComboBox* EditCommandBars::FontList() const { return impl_->fontList.get(); }
wxChoice* EditCommandBars::FontSizeList() const { return impl_->fontSizeList.get(); }
wxMenu* EditCommandBars::EditMenu() const { return impl_->editMenu; }
wxMenu* EditCommandBars::InsertMenu() const { return impl_->insertMenu; }
wxMenu* EditCommandBars::FormatMenu() const { return impl_->formatMenu; }

}  // namespace ql
