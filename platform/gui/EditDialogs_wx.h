#pragma once
// The editing control's prompts as wx dialogs: a text box for a picture's source and for a
// link's address, and the font dialog with its colour.
#include "platform/gui/HtmlEditCommands.h"

class wxWindow;

namespace ql::web {

class WxEditDialogs : public EditDialogs {
public:
    explicit WxEditDialogs(wxWindow* parent) : parent_(parent) {}
    bool AskImageSource(std::string& source) override;
    bool AskLinkUrl(std::string& url) override;
    bool AskFont(Font& font) override;

private:
    wxWindow* parent_;
};

}  // namespace ql::web
