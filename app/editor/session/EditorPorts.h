#pragma once
// What the collection and clip logic needs from the editor window and the rest of the program.
// The editor implements these over its wx controls; tests use fakes.
#include "app/editor/session/DeferredWork.h"
#include "foundation/Dialogs.h"

#include <functional>
#include <optional>
#include <string>

namespace ql {

class TreeNode;

// The editor's views, by page index.
enum EditorView : int { kViewBrowse = 0, kViewHtml = 1, kViewText = 2 };

// The three views of the open page, with the HTML editing control of the HTML view.
class PageViews {
public:
    virtual ~PageViews() = default;
    virtual int ActiveView() const = 0;
    // Makes `view` current (out-of-range values mean Browse); with `load` the selected node's
    // page is shown in it (PageSession::ShowCurrentPage).
    virtual void SwitchView(int view, bool load) = 0;

    virtual void BrowseNavigate(const std::string& file) = 0;

    // The HTML editing control. Its document-complete event calls PageSession::dtDocumentComplete.
    virtual bool HtmlBusy() const = 0;
    virtual bool HtmlIsDirty() const = 0;
    virtual std::string HtmlDocumentHtml() const = 0;  // the whole document; "" when none
    virtual void HtmlLoadDocument(const std::string& file) = 0;
    virtual void HtmlNewDocument() = 0;
    virtual void HtmlLoadUrl(const std::string& url) = 0;
    virtual void HtmlPaste() = 0;      // the clipboard into the document
    virtual void HtmlMarkSaved() = 0;  // the document holds no unsaved change now

    // The Text view.
    virtual bool TextModified() const = 0;
    virtual std::string TextContent() const = 0;
    virtual void SetTextContent(const std::string& text, bool modified) = 0;
    virtual void TextMarkSaved() = 0;  // clears the modified flag
    virtual void TextAppendLine(const std::string& line) = 0;
    // A view emptied because its page could not be read takes no typing until a page is read.
    virtual void SetTextReadOnly(bool readOnly) = 0;

    // The page's rendered plain text (what selecting all and copying in a browser gives),
    // handed to `done` when it is ready; `done` is not called when rendering fails.
    virtual void RenderPlainText(const std::string& file, std::function<void(const std::string&)> done) = 0;
};

// Empties the active view when it is the HTML or the Text one (Browse stays as it is); returns
// the active view.
int EmptyActiveView(PageViews& views);

// The editor window around the views, and the program's deferred actions.
class EditorWindow {
public:
    virtual ~EditorWindow() = default;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void HideEditor() = 0;
    // Selects the node as the user would: the tree's changing handler (PageSession::TVChanging)
    // runs and may refuse, in which case the selection stays.
    virtual void SelectNode(TreeNode* node) = 0;
    virtual void ExpandNode(TreeNode* node) = 0;        // one level
    virtual void SetDropHighlight(TreeNode* node) = 0;  // the drop target's focus rectangle
    // Shows the editor (restored when minimised) above the other windows, not left topmost.
    virtual void ShowEditorForDrag() = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    // The drop zone's deferred actions: CopyAndPaste copies the source's selection and pastes it
    // into a new document (which calls PageSession::StartClipboardPaste), CopyOnly only copies.
    virtual void ScheduleAction(ZoneAction action, int intervalMs, int ticks) = 0;
    virtual std::string ClipboardText() = 0;
};

// The editor's boxes; plain messages come from the foundation's port.
class EditorDialogs : public Dialogs {
public:
    virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
    virtual std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                                const std::string& value) = 0;
    virtual std::optional<std::string> OpenFile(const std::string& filter) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::string ShortDate() const = 0;  // today in the locale's short date format
    virtual std::string TimeOfDay() const = 0;  // now in the locale's time format
};

class SystemClock : public Clock {
public:
    std::string ShortDate() const override;
    std::string TimeOfDay() const override;
};

// Shows the busy cursor for a scope.
class BusyCursor {
public:
    explicit BusyCursor(EditorWindow& window) : window_(window) { window_.SetBusyCursor(true); }
    ~BusyCursor() { window_.SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    EditorWindow& window_;
};

}  // namespace ql
