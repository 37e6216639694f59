#pragma once
// The zone's and its dialogs' message and input boxes through wx.
#include "app/editor/session/EditorPorts.h"
#include "foundation/Dialogs_wx.h"

class wxWindow;

namespace ql {

class WxZoneDialogs : public EditorDialogs {
public:
    void ShowMessage(const std::string& text) override { messages_.ShowMessage(text); }
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    std::optional<std::string> OpenFile(const std::string& filter) override;

    wxWindow* Parent = nullptr;  // boxes are shown above this window when set

private:
    WxDialogs messages_;
};

}  // namespace ql
