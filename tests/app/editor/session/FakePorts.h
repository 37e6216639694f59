#pragma once
// Recording fakes of the editor's ports, wired like the real window: a view switch with loading
// shows the selected node's page, and selecting a node runs the tree's changing handler.
#include "app/editor/session/EditorPorts.h"
#include "app/editor/session/PageSession.h"
#include "platform/core/SafeFile.h"

#include <deque>
#include <string>
#include <vector>

namespace ql::test {

struct FakeViews : PageViews {
    PageSession* session = nullptr;
    int active = kViewBrowse;
    std::vector<std::string> log;

    std::string browsed;
    bool htmlBusy = false, htmlDirty = false;
    std::string htmlDocument, htmlLoadedFile;
    bool textModified = false;
    std::string text;
    std::string renderedText;  // what RenderPlainText hands back

    int ActiveView() const override { return active; }
    void SwitchView(int view, bool load) override
    {
        active = (view < 0 || view > 2) ? kViewBrowse : view;
        log.push_back("switch " + std::to_string(active) + (load ? " load" : ""));
        if (load && session)
            session->ShowCurrentPage(session->PageIdOfNode(session->EditorTree().Selected()));
    }
    void BrowseNavigate(const std::string& file) override
    {
        browsed = file;
        log.push_back("browse " + file);
    }
    bool HtmlBusy() const override { return htmlBusy; }
    bool HtmlIsDirty() const override { return htmlDirty; }
    std::string HtmlDocumentHtml() const override { return htmlDocument; }
    void HtmlLoadDocument(const std::string& file) override
    {
        htmlLoadedFile = file;
        htmlDocument = ReadFileBytes(file).value_or("");
        htmlDirty = false;
        log.push_back("html load " + file);
    }
    void HtmlNewDocument() override
    {
        htmlDocument = "<html><body></body></html>";
        htmlDirty = false;
        log.push_back("html new");
    }
    void HtmlLoadUrl(const std::string& url) override { log.push_back("html url " + url); }
    std::string clipboardHtml;
    void HtmlPaste() override
    {
        htmlDocument = clipboardHtml;
        htmlDirty = true;
        log.push_back("html paste");
    }
    void HtmlMarkSaved() override { htmlDirty = false; }
    bool TextModified() const override { return textModified; }
    std::string TextContent() const override { return text; }
    void SetTextContent(const std::string& t, bool modified) override
    {
        text = t;
        textModified = modified;
        log.push_back(std::string("text set") + (modified ? " modified" : ""));
    }
    void TextMarkSaved() override { textModified = false; }
    bool textReadOnly = false;
    void SetTextReadOnly(bool readOnly) override { textReadOnly = readOnly; }
    void TextAppendLine(const std::string& line) override
    {
        text += line + "\r\n";
        textModified = true;
    }
    void RenderPlainText(const std::string& file, std::function<void(const std::string&)> done) override
    {
        log.push_back("render " + file);
        done(renderedText);
    }
};

struct FakeWindow : EditorWindow {
    PageSession* session = nullptr;
    std::string status;
    bool hidden = false;
    int busy = 0;
    std::vector<TreeNode*> expanded;
    TreeNode* highlighted = nullptr;
    int shownForDrag = 0;
    std::vector<ZoneAction> actions;
    std::string clipboard;

    void SetStatusText(const std::string& text) override { status = text; }
    void HideEditor() override { hidden = true; }
    void SelectNode(TreeNode* node) override
    {
        if (session && session->TVChanging(node))
            session->EditorTree().Select(node);
    }
    void ExpandNode(TreeNode* node) override { expanded.push_back(node); }
    void SetDropHighlight(TreeNode* node) override { highlighted = node; }
    void ShowEditorForDrag() override { ++shownForDrag; }
    void SetBusyCursor(bool on) override { busy += on ? 1 : -1; }
    void ScheduleAction(ZoneAction action, int, int) override { actions.push_back(action); }
    std::string ClipboardText() override { return clipboard; }
};

struct FakeEditorDialogs : EditorDialogs {
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool answer = true;
    std::deque<bool> answers;  // taken first, one per question; then `answer`
    std::optional<std::string> input;
    std::optional<std::string> file;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string& caption, const std::string& text) override
    {
        questions.push_back(caption + ": " + text);
        if (!answers.empty()) {
            bool a = answers.front();
            answers.pop_front();
            return a;
        }
        return answer;
    }
    std::optional<std::string> InputBox(const std::string&, const std::string&, const std::string&) override
    {
        return input;
    }
    std::optional<std::string> OpenFile(const std::string&) override { return file; }
};

struct FixedClock : Clock {
    std::string ShortDate() const override { return "12/31/24"; }
    std::string TimeOfDay() const override { return "10:11:12"; }
};

}  // namespace ql::test
