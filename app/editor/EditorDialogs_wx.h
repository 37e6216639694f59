#pragma once
// The message, question, input and open-file boxes of the editor and the drop zone through wx.
#include "app/editor/ExportCommands.h"
#include "app/editor/session/EditorPorts.h"

class wxWindow;

namespace ql {

class WxEditorDialogs : public EditorDialogs {
public:
    explicit WxEditorDialogs(wxWindow* parent) : parent_(parent) {}
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    // `filter` pairs descriptions and patterns with "|", as wx file dialogs take them.
    std::optional<std::string> OpenFile(const std::string& filter) override;

private:
    wxWindow* parent_;
};

// The save dialog (asking before it replaces the confirmed file) and the folder chooser.
class WxExportDialogs : public ExportDialogs {
public:
    explicit WxExportDialogs(wxWindow* parent) : parent_(parent) {}
    std::optional<std::string> SaveFile(const std::string& filter, const std::string& proposedName) override;
    std::optional<std::string> SelectFolder(const std::string& caption) override;

private:
    wxWindow* parent_;
};

}  // namespace ql
