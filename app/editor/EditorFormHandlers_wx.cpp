// TEditorForm's handlers: each hands the command to its controller.
#include "app/editor/EditorFormPorts_wx.h"
#include "app/editor/EditorTreeView_wx.h"
#include "app/editor/ViewCommands.h"
#include "components/browserhost/Pages_wx.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/HtmlEditControl_wx.h"
#include "platform/gui/Json.h"
#include "platform/gui/WebViewEngine_wx.h"

#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>
#include <wx/treectrl.h>

namespace ql {

void TEditorForm::OnShow(wxShowEvent& event)
{
    event.Skip();
    if (event.IsShown() && !closing_)
        FormShow();
}

void TEditorForm::OnClose(wxCloseEvent& event)
{
    session_->FormClose();
    // The window lives as long as the program: closing hides it.
    if (event.CanVeto()) {
        event.Veto();
        Hide();
    } else {
        Destroy();
    }
}

void TEditorForm::ToolButton17Click(int view)
{
    if (!SwitchViewByButton(*session_, *views_, view))
        PressViewButton(ActiveView());
}

void TEditorForm::ToolButton12Click() { session_->ToolButton12Click(); }
void TEditorForm::ToolButton14Click() { session_->ToolButton14Click(); }
void TEditorForm::ToolButton46Click() { session_->ToolButton46Click(); }
void TEditorForm::ToolButton6Click() { ReloadCurrentPage(*session_, *setup_.dialogs); }
void TEditorForm::LoadfromURL1Click() { clips_->LoadfromURL1Click(); }
void TEditorForm::AddItemBClick() { ops_->AddItemBClick(); }
void TEditorForm::AddSubItemBClick() { ops_->AddSubItemBClick(); }
void TEditorForm::AddClipboardBClick()
{
    clips_->AddClipboardBClick([this] { return ops_->AddItemBClick(); });
}
void TEditorForm::ToolButton31Click() { ops_->DeleteNodeTree(tree_.Selected()); }
void TEditorForm::ToolButton3Click() { treeView_->ExpandAll(true); }
void TEditorForm::ToolButton5Click() { treeView_->ExpandAll(false); }
void TEditorForm::ExpandAll2Click() { treeView_->ExpandSubtree(tree_.Selected(), true); }
void TEditorForm::CollapseAll2Click() { treeView_->ExpandSubtree(tree_.Selected(), false); }
void TEditorForm::ToolButton27Click() { ops_->ToolButton27Click(); }
void TEditorForm::ToolButton42Click() { ops_->ToolButton42Click(); }
void TEditorForm::BtnUnicodeClick() { session_->BtnUnicodeClick(); }
void TEditorForm::BtnCleanupClick() { session_->BtnCleanupClick(); }
void TEditorForm::ToolButton8Click() { session_->ToolButton8Click(); }

void TEditorForm::ToolButton9Click()
{
    long style = SourceEditor->GetWindowStyleFlag();
    if (style & wxTE_DONTWRAP)
        style = (style & ~(wxTE_DONTWRAP | wxHSCROLL)) | wxTE_WORDWRAP;
    else
        style = (style & ~wxTE_WORDWRAP) | wxTE_DONTWRAP | wxHSCROLL;
    SourceEditor->SetWindowStyleFlag(style);
}

void TEditorForm::Rename1Click()
{
    if (wxTreeItemId item = treeView_->ItemOf(tree_.Selected()); item.IsOk())
        TV->EditLabel(item);
}

void TEditorForm::TVDragDrop(const wxPoint& point)
{
    unsigned hit = 0;
    TreeNode* target = treeView_->HitTest(point, &hit);
    ops_->TVDragDrop(target, hit);
}

void TEditorForm::Timer1Timer()
{
    TreeNode* under = treeView_->HitTest(TV->ScreenToClient(wxGetMousePosition()), nullptr);
    if (TreeNode* node = targeting_->TimerTick(under))
        window_->ExpandNode(node);
}

void TEditorForm::OnSelChanging(wxTreeEvent& event)
{
    if (closing_ || treeView_->Quiet())
        return;
    TreeNode* node = treeView_->NodeOf(event.GetItem());
    if (node == tree_.Selected())
        return;
    // The old page could not be saved: the user stays on it with its edits.
    if (!session_->TVChanging(node))
        event.Veto();
}

void TEditorForm::OnSelChanged(wxTreeEvent& event)
{
    if (closing_ || treeView_->Quiet())
        return;
    tree_.Select(treeView_->NodeOf(event.GetItem()));
    PointImageList();
}

void TEditorForm::OnEndLabelEdit(wxTreeEvent& event)
{
    if (closing_ || event.IsEditCancelled())
        return;
    // The model renames the item itself (with the caption it keeps).
    event.Veto();
    TreeNode* node = treeView_->NodeOf(event.GetItem());
    if (!node)
        return;
    const std::uint64_t serial = node->Serial();
    const std::string text(event.GetLabel().utf8_str());
    CallAfter([this, serial, text] {
        if (TreeNode* n = tree_.Find(serial))
            ops_->TVEdited(n, text);
    });
}

void TEditorForm::OnTreeKey(wxTreeEvent& event)
{
    if (event.GetKeyCode() == WXK_F2)
        Rename1Click();
    else
        event.Skip();
}

void TEditorForm::OnEndDrag(wxTreeEvent& event)
{
    if (!closing_)
        TVDragDrop(event.GetPoint());
}

void TEditorForm::RenderPlainText(const std::string& file, std::function<void(const std::string&)> done)
{
    if (!PureTextEditor) {
        PureTextEditor = web::HtmlEditControl::Create(PureTextPanel);
        if (!PureTextEditor)
            return;
        PureTextPanel->GetSizer()->Add(PureTextEditor, 1, wxEXPAND);
        PureTextPanel->Layout();
        PureTextEditor->OnDocumentComplete = [this] {
            if (!PureTextEditor->Tag)
                return;
            PureTextEditor->Tag = 0;
            json::Value text;
            auto finished = std::move(pureTextDone_);
            pureTextDone_ = nullptr;
            // What selecting all and copying gives: the rendered text.
            if (com::SUCCEEDED(
                    RunDomScript(PureTextEditor->Engine(), "document.body ? document.body.innerText : ''", &text)) &&
                text.AsString() && finished)
                finished(*text.AsString());
        };
    }
    pureTextDone_ = std::move(done);
    PureTextEditor->Tag = 1;
    PureTextEditor->LoadDocument(file);
}

}  // namespace ql
