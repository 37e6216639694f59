#pragma once
// The HTML editing control: a web view in editing mode with the numbered editing commands
// (ExecCommand, QueryStatus), loading and new documents, printing, the document object model
// (DOM), the document's HTML (DocumentHTML: every top-level node, so a comment before <html>
// stays), the dirty and busy state, the paragraph tag of Enter, and the display-change and
// document-complete events.
#include "platform/core/com/Dispatch.h"
#include "platform/core/com/HtmlDocument.h"
#include "platform/gui/HtmlEditCommands.h"

#include <wx/panel.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

struct _GObject;

namespace ql::web {

class WebViewEngine;

class HtmlEditControl : public wxPanel {
public:
    // The control as a child of `parent`, or nullptr with `error` set when the web engine is
    // not available (the caller may try again once it installed what is missing).
    static HtmlEditControl* Create(wxWindow* parent, wxWindowID id = wxID_ANY, std::string* error = nullptr);
    ~HtmlEditControl() override;

    // A DECMD_* command with an execution option (0 default, 1 prompt, 2 do not prompt) and an
    // optional in-value; `out` receives what the reading commands give.
    com::HRESULT ExecCommand(std::int32_t command, std::uint32_t option, const com::Variant& in = {},
                             com::Variant* out = nullptr);
    // DECMDF_*: 0 not supported, 1 disabled, 3 enabled, 7 latched, 11 indeterminate.
    std::int32_t QueryStatus(std::int32_t command);

    void NewDocument();
    void LoadURL(const std::string& url);        // a URL or an absolute path
    void LoadDocument(const std::string& path);  // a file
    // Prints the document; with the print dialog unless `withUI` is false.
    void PrintDocument(std::optional<bool> withUI = std::nullopt);
    // The document (also an IOleCommandTarget); nullptr while there is none.
    com::ComPtr<com::IHTMLDocument2> DOM();

    // The document's markup, every top-level node followed by CR LF; "" without a document. It
    // reads back as the same document, and saved again gives the same text.
    std::string DocumentHTML();
    // Replaces the document (relative addresses keep resolving against the current one).
    void SetDocumentHTML(const std::string& html);

    // Whether the last load failed (the file is missing or unreadable): there is no document
    // then, DocumentHTML is "" and saving refuses.
    bool LoadFailed() const;
    bool IsDirty() const { return dirty_; }  // an edit since the last load or save
    // The document's content was kept elsewhere (its page file was written from it).
    void MarkSaved() { dirty_ = false; }
    // Writes DocumentHTML to `path` (atomically) and counts as saved.
    [[nodiscard]] bool SaveDocument(const std::string& path);
    bool Busy() const;
    bool UseDivOnCarriageReturn() const { return useDiv_; }
    void SetUseDivOnCarriageReturn(bool useDiv);

    // The selection or the formatting at the caret changed (the engine's own notifications).
    std::function<void()> OnDisplayChanged;
    std::function<void()> OnDocumentComplete;  // a document finished loading (also a failed load)
    int Tag = 0;

    // The prompts of the commands that ask; nullptr restores the control's own dialogs.
    void SetDialogs(EditDialogs* dialogs);
    WebViewEngine& Engine() { return *engine_; }

private:
    HtmlEditControl(wxWindow* parent, wxWindowID id);
    bool Init(std::string* error);
    void ApplyParagraphSeparator();
    void PlaceCaret();
    void WatchTypingAttributes();
    void QueueDisplayChanged();  // OnDisplayChanged, once, after the notifications at hand

    std::shared_ptr<WebViewEngine> engine_;
    std::unique_ptr<EditDialogs> ownDialogs_;
    EditDialogs* dialogs_ = nullptr;
    bool dirty_ = false;
    bool useDiv_ = false;
    bool loadPending_ = false;
    bool displayQueued_ = false;
    ::_GObject* editorState_ = nullptr;  // the engine's WebKitEditorState, our reference
    unsigned long typingHandler_ = 0;
};

}  // namespace ql::web
