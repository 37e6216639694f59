#include "platform/gui/WebEngineSettings.h"

namespace ql::web {

std::string ComposeUserAgent(const std::string& engineUserAgent, const std::string& token)
{
    if (token.empty())
        return engineUserAgent;
    return engineUserAgent + " " + token;
}

}  // namespace ql::web
