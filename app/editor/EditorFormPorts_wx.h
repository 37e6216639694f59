#pragma once
// The ports of the page session and the clip intake, over TEditorForm's controls.
#include "app/editor/ActiveDesktop.h"
#include "app/editor/BrowseToolCommands.h"
#include "app/editor/EditorForm_wx.h"
#include "app/editor/SearchController.h"
#include "platform/gui/PageSnapshot_wx.h"

namespace ql {

class TEditorForm::Views : public PageViews {
public:
    explicit Views(TEditorForm& form) : form_(form) {}

    int ActiveView() const override;
    void SwitchView(int view, bool load) override { form_.SwitchView(view, load); }
    void BrowseNavigate(const std::string& file) override;
    bool HtmlBusy() const override;
    bool HtmlIsDirty() const override;
    std::string HtmlDocumentHtml() const override;
    void HtmlLoadDocument(const std::string& file) override;
    void HtmlNewDocument() override;
    void HtmlLoadUrl(const std::string& url) override;
    void HtmlPaste() override;
    void HtmlMarkSaved() override;
    bool TextModified() const override;
    std::string TextContent() const override;
    void SetTextContent(const std::string& text, bool modified) override;
    void TextMarkSaved() override;
    void TextAppendLine(const std::string& line) override;
    void SetTextReadOnly(bool readOnly) override;
    void RenderPlainText(const std::string& file, std::function<void(const std::string&)> done) override
    {
        form_.RenderPlainText(file, std::move(done));
    }

private:
    TEditorForm& form_;
    // A page that is no valid UTF-8 is shown byte for byte as Latin-1 and saved back so.
    bool latin1_ = false;
};

class TEditorForm::Window : public EditorWindow {
public:
    explicit Window(TEditorForm& form) : form_(form) {}

    void SetStatusText(const std::string& text) override;
    void HideEditor() override;
    void SelectNode(TreeNode* node) override;
    void ExpandNode(TreeNode* node) override;
    void SetDropHighlight(TreeNode* node) override;
    void ShowEditorForDrag() override { form_.ShowEditorForDrag(); }
    void SetBusyCursor(bool busy) override;
    void ScheduleAction(ZoneAction action, int intervalMs, int ticks) override;
    std::string ClipboardText() override;

private:
    TEditorForm& form_;
    std::uint64_t highlighted_ = 0;
};

// The search panel, printing by view and page rendering for the desktop, over the form's controls.
class TEditorForm::Tools : public SearchPanelView, public ViewPrinter, public PageRenderer {
public:
    explicit Tools(TEditorForm& form) : form_(form) {}

    bool PanelVisible() const override;
    void ShowPanel(bool show) override;
    void SetSearchButtonDown(bool down) override;
    void ShowRows(const std::vector<SearchRow>& rows) override;
    int BrowseTag() const override;
    void SetBrowseTag(int tag) override;
    void HighlightInBrowse(const std::string& text) override;

    void PrintBrowse() override;
    void PrintHtml() override;
    void PrintText(const std::string& jobTitle) override;

    void RenderToPicture(const std::string& pageFile, const std::string& pngFile,
                         std::function<void(bool ok)> done) override;
    void CancelRendering() { snapshot_.reset(); }

private:
    TEditorForm& form_;
    std::unique_ptr<web::PageSnapshot> snapshot_;
};

}  // namespace ql
