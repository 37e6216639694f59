#pragma once
// An editor's boxes that can stop waiting for the user. While the program ends from outside (a
// signal, the end of the desktop session) nobody may be there to answer, and a box would keep
// the exit from ending: messages are then logged instead of shown, and questions get their
// cautious answer (No, Cancel) at once.
#include "app/editor/session/EditorPorts.h"

#include <memory>

namespace ql {

class UnattendedDialogs : public EditorDialogs {
public:
    explicit UnattendedDialogs(std::unique_ptr<EditorDialogs> inner) : inner_(std::move(inner)) {}
    // The boxes shown while attended (the window they belong to may come after this object).
    void SetInner(std::unique_ptr<EditorDialogs> inner) { inner_ = std::move(inner); }
    void SetUnattended() { unattended_ = true; }
    bool Unattended() const { return unattended_; }

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
    std::optional<std::string> OpenFile(const std::string& filter) override;

private:
    std::unique_ptr<EditorDialogs> inner_;
    bool unattended_ = false;
};

}  // namespace ql
