#include "app/editor/session/UnattendedDialogs.h"

#include "platform/core/ErrorLog.h"

namespace ql {

void UnattendedDialogs::ShowMessage(const std::string& text)
{
    if (unattended_ || !inner_)
        LogError("", text);
    else
        inner_->ShowMessage(text);
}

bool UnattendedDialogs::AskYesNo(const std::string& caption, const std::string& text)
{
    if (unattended_ || !inner_) {
        LogError(caption, text + " (answered No: nobody to ask)");
        return false;
    }
    return inner_->AskYesNo(caption, text);
}

std::optional<std::string> UnattendedDialogs::InputBox(const std::string& caption, const std::string& prompt,
                                                       const std::string& value)
{
    if (unattended_ || !inner_)
        return std::nullopt;
    return inner_->InputBox(caption, prompt, value);
}

std::optional<std::string> UnattendedDialogs::OpenFile(const std::string& filter)
{
    if (unattended_ || !inner_)
        return std::nullopt;
    return inner_->OpenFile(filter);
}

}  // namespace ql
