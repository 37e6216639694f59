#pragma once
// The HTML view's editing toolbar (ToolBar1) and the Edit, Insert and Format menus of the
// editor window. Every decision is EditCommandRouter's; this turns clicks, menu openings and
// the editing control's display changes into its calls and shows what it returns.
#include "app/editor/EditCommandTable.h"

#include <functional>
#include <memory>

class wxChoice;
class wxComboBox;
class wxFrame;
class wxMenu;
class wxMenuBar;
class wxTextCtrl;
class wxToolBar;
class wxWindow;

namespace ql {

class EditCommandDialogs;
class EditCommandRouter;
class TWebHost;
namespace web {
class HtmlEditControl;
}

struct EditCommandTargets {
    std::function<int()> activeView;                    // 0 Browse, 1 HTML, 2 Text
    std::function<web::HtmlEditControl*()> htmlEditor;  // nullptr until created
    wxTextCtrl* sourceEditor = nullptr;                 // the Text view (SourceEditor)
    TWebHost* web = nullptr;                            // the Browse view
};

class EditCommandBars {
public:
    explicit EditCommandBars(EditCommandTargets targets);
    ~EditCommandBars();
    EditCommandBars(const EditCommandBars&) = delete;
    EditCommandBars& operator=(const EditCommandBars&) = delete;

    // ToolBar1, with FontList filled with the screen fonts. Call once.
    wxToolBar* CreateToolBar1(wxWindow* parent);
    // Appends "&Edit", "&Insert" and "&Format" and watches `frame` for their opening (the
    // opening event is passed on). Call once.
    void AppendMenus(wxFrame* frame, wxMenuBar* bar);
    // The HTML editing control's selection or formatting changed (its OnDisplayChanged, raised
    // by the engine's own notifications): the bars show the states at the caret while the
    // HTML view is the current one.
    void DisplayChanged();

    // The colour and picture dialogs; nullptr restores the wx dialogs (tests answer with their own).
    void SetDialogs(EditCommandDialogs* dialogs);

    // The ToolBar1 tool that carries `tag`; wxID_NONE when none does.
    int ToolId(EditCommandTag tag) const;
    int BackgroundToolId() const;
    int HighlightToolId() const;
    wxComboBox* FontList() const;
    wxChoice* FontSizeList() const;
    wxMenu* EditMenu() const;
    wxMenu* InsertMenu() const;
    wxMenu* FormatMenu() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ql
