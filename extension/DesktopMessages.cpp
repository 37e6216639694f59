#include "extension/DesktopMessages.h"

#include <cstdio>

namespace ql::brimhook {

void DesktopMessages::ShowMessage(const std::string& text)
{
    if (!launcher_.Spawn({"notify-send", "Quillory", text}))
        std::fprintf(stderr, "Quillory: %s\n", text.c_str());
}

}  // namespace ql::brimhook
