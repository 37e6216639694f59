#pragma once
// Message boxes through wx, captioned with the application's display name.
#include "foundation/Dialogs.h"

namespace ql {

class WxDialogs : public Dialogs {
public:
    void ShowMessage(const std::string& text) override;
};

}  // namespace ql
