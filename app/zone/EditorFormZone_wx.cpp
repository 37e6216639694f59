#include "app/zone/EditorFormZone_wx.h"

#include "app/editor/EditorDialogs_wx.h"
#include "app/editor/EditorForm_wx.h"
#include "app/editor/session/UnattendedDialogs.h"
#include "foundation/VekAdvClass_wx.h"
#include "platform/gui/HtmlEditControl_wx.h"

#include <wx/weakref.h>

namespace ql {

namespace {

// The editor window lives as long as the program (closing it hides it); the zone's editor is
// dropped before the windows go at exit.
class EditorFormZoneEditor : public ZoneEditor {
public:
    EditorFormZoneEditor(TEditorForm* form, UnattendedDialogs& boxes) : form_(form), boxes_(boxes)
    {
        boxes_.SetInner(std::make_unique<WxEditorDialogs>(form));
    }
    ~EditorFormZoneEditor() override
    {
        if (form_)
            form_->Actions().Schedule = nullptr;
    }

    PageSession& Session() override { return form_->Session(); }
    ClipIntake& Clips() override { return form_->Clips(); }
    int ActiveView() const override { return form_ ? form_->ActiveView() : kViewBrowse; }
    void SwitchView(int view, bool load) override
    {
        if (form_)
            form_->SwitchView(view, load);
    }
    void PasteIntoHtmlView() override
    {
        if (form_ && form_->HtmlEditor)
            form_->HtmlEditor->ExecCommand(web::DECMD_PASTE, 2);
    }
    void FormShow() override
    {
        if (form_)
            form_->FormShow();
    }
    bool IsShown() const override { return form_ && form_->IsShown(); }
    void SetShown(bool shown) override
    {
        if (form_)
            form_->Show(shown);
    }
    bool IsMinimized() const override { return form_ && form_->IsIconized(); }
    void Restore() override
    {
        if (!form_)
            return;
        form_->Iconize(false);
        form_->Show();
    }
    void BringToFront() override
    {
        if (form_)
            form_->BringEditorToFront();
    }
    bool IsActiveWindow() const override { return form_ && form_->IsActive(); }
    void SelectNode(TreeNode* node) override
    {
        if (form_ && form_->Session().TVChanging(node))
            form_->Tree().Select(node);
    }
    void AddNode() override
    {
        if (form_)
            form_->AddItemBClick();
    }
    void AddClipboardContents() override
    {
        if (form_)
            form_->AddClipboardBClick();
    }
    void RunClipboardPaste() override
    {
        if (form_)
            form_->Actions().RunClipboardPaste();
    }
    bool SavePlacement() override { return form_ && SaveFormPlacement(kFormPosKey, form_.get()); }
    void SetUnattended() override { boxes_.SetUnattended(); }
    void SetActionSink(std::function<void(ZoneAction, int, int)> sink) override
    {
        if (form_)
            form_->Actions().Schedule = std::move(sink);
    }

private:
    wxWeakRef<TEditorForm> form_;
    UnattendedDialogs& boxes_;
};

}  // namespace

ZoneEditorFactory EditorFormFactory(CollectionContext context, UnattendedDialogs& boxes)
{
    return [context, &boxes](const ZoneCommandRunner& runCommand) -> std::unique_ptr<ZoneEditor> {
        EditorFormSetup setup(context);
        // Boxes shown while the window is being made have no parent yet.
        boxes.SetInner(std::make_unique<WxEditorDialogs>(nullptr));
        setup.dialogs = &boxes;
        if (runCommand) {
            setup.showOptions = [runCommand] { runCommand(ZoneCommand::Options); };
            setup.showAbout = [runCommand] { runCommand(ZoneCommand::About); };
            setup.exitProgram = [runCommand] { runCommand(ZoneCommand::Exit); };
        }
        TEditorForm* form = CreateEditorForm(std::move(setup));
        if (!form)
            return nullptr;
        return std::make_unique<EditorFormZoneEditor>(form, boxes);
    };
}

}  // namespace ql
