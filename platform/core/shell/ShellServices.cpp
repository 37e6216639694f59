#include "platform/core/shell/ShellServices.h"

#include "platform/core/DragFormats.h"
#include "platform/core/UrlText.h"

namespace ql::shell {

namespace {
ShellServices& Services()
{
    static ShellServices services;
    return services;
}
}  // namespace

void SetShellServices(const ShellServices& services) { Services() = services; }
const ShellServices& GetShellServices() { return Services(); }

std::string BuildCopiedFilesText(const std::vector<std::string>& paths, bool cut)
{
    std::string text = cut ? "cut" : "copy";
    for (const auto& p : paths)
        text += "\n" + FilePathToUrl(p);
    return text;
}

bool ParseCopiedFilesText(const std::string& text, std::vector<std::string>& paths, bool& cut)
{
    std::size_t nl = text.find('\n');
    std::string first = text.substr(0, nl);
    if (!first.empty() && first.back() == '\r')
        first.pop_back();
    if (first != "copy" && first != "cut")
        return false;
    cut = first == "cut";
    paths = nl == std::string::npos ? std::vector<std::string>{} : drag::FilePathsFromUriList(text.substr(nl + 1));
    return !paths.empty();
}

std::string BuildUriListText(const std::vector<std::string>& paths)
{
    std::string text;
    for (const auto& p : paths)
        text += FilePathToUrl(p) + "\r\n";
    return text;
}

}  // namespace ql::shell
