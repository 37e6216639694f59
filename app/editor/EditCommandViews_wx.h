#pragma once
// The editing commands' ports over the editor's controls: the Browse view's web host, the
// HTML view's editing control (created later than the form, so it is looked up on each call),
// the Text view's text control, and the colour and picture dialogs.
#include "app/editor/EditCommandPorts.h"

#include <functional>

class wxTextCtrl;
class wxWindow;

namespace ql {

class TWebHost;
namespace web {
class HtmlEditControl;
}

class WxBrowseView final : public BrowseViewPort {
public:
    explicit WxBrowseView(TWebHost* web) : web_(web) {}
    void ExecDocumentCommand(std::uint32_t command) override;
    void CopySelection() override;
    void SelectAllContent() override;
    void OpenFindDialog() override;
    std::optional<bool> QueryCommandEnabled(const std::string& command) override;

private:
    TWebHost* web_;
};

class WxHtmlView final : public HtmlViewPort {
public:
    explicit WxHtmlView(std::function<web::HtmlEditControl*()> editor) : editor_(std::move(editor)) {}
    bool Exists() override { return Editor() != nullptr; }
    bool Busy() override;
    com::HRESULT ExecCommand(std::int32_t command, std::uint32_t option, const com::Variant& in,
                             com::Variant* out) override;
    std::int32_t QueryStatus(std::int32_t command) override;
    DocCommandState QueryDocCommand(std::uint32_t command, bool tableGroup) override;
    void Focus() override;
    bool ReplaceSelectionHtml(const std::function<std::string(const std::string&)>& make) override;
    std::optional<std::string> BackgroundColor() override;
    bool SetBackgroundColor(const std::string& color) override;
    bool SetBackgroundPicture(const std::string& path) override;

private:
    web::HtmlEditControl* Editor() const { return editor_ ? editor_() : nullptr; }
    std::function<web::HtmlEditControl*()> editor_;
};

class WxTextView final : public TextViewPort {
public:
    explicit WxTextView(wxTextCtrl* edit) : edit_(edit) {}
    bool CanUndo() override;
    void Undo() override;
    bool HasSelection() override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    void DeleteSelection() override;
    void SelectAll() override;
    void ShowFind() override;
    bool Editable() override;
    std::string Text() override;
    long Caret() override;
    void ReplaceText(const std::string& text, long caret) override;

private:
    wxTextCtrl* edit_;
};

// The colour dialog and a picture file dialog, over the window `parent()` gives.
class WxEditCommandDialogs final : public EditCommandDialogs {
public:
    explicit WxEditCommandDialogs(std::function<wxWindow*()> parent) : parent_(std::move(parent)) {}
    bool PickColor(std::uint32_t& color) override;
    std::optional<std::string> PickPicture() override;

private:
    std::function<wxWindow*()> parent_;
};

}  // namespace ql
