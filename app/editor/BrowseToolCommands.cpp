#include "app/editor/BrowseToolCommands.h"

#include "app/editor/BrowseTools.h"
#include "app/editor/session/EditorPorts.h"
#include "app/product/ProductInfo.h"
#include "foundation/PageLimit.h"
#include "foundation/VekCollectClass.h"
#include "foundation/VekIEClass.h"
#include "platform/core/SafeFile.h"
#include "platform/core/UrlText.h"

namespace ql {

std::string BrowseStatusText::Change(const std::string& current, const std::string& text)
{
    if (!text.empty()) {
        if (!hovering_ || current != shown_)
            covered_ = current;
        hovering_ = true;
        shown_ = text;
        return text;
    }
    if (!hovering_)
        return current;
    hovering_ = false;
    return current == shown_ ? covered_ : current;
}

BrowseToolCommands::BrowseToolCommands(TSettings& settings, Dialogs& dialogs, Launcher& launcher,
                                       WindowActivator& front, std::string appDir)
    : settings_(settings), dialogs_(dialogs), launcher_(launcher), front_(front), appDir_(std::move(appDir))
{
}

void BrowseToolCommands::ToolButton112Click()
{
    // A page above the limit is no page of ours: it is not read into memory.
    const std::optional<std::string> page = ReadFileBytes(settings_.CurrentPageFile, kMaxPageBytes);
    const std::optional<std::string> url = page ? OriginalUrlOf(*page) : std::nullopt;
    if (!url) {
        dialogs_.ShowMessage(kNoOriginalUrl);
        return;
    }
    // The desktop's browser is handed web and file addresses only; an ftp address goes to the
    // desktop's handler for it.
    if (!OpenUrl(*url, "", launcher_, front_) && UrlScheme(*url) == "ftp")
        launcher_.OpenWithDesktop(*url);
}

void BrowseToolCommands::ToolButton55Click()
{
    if (!settings_.CurrentPageFile.empty())
        OpenUrl(settings_.CurrentPageFile, "", launcher_, front_);
}

void BrowseToolCommands::HelpDocument1Click() { launcher_.OpenWithDesktop(appDir_ + kHelpFileName); }

void BrowseToolCommands::SoftwareHomepage1Click() { OpenUrl(kMakerWebsite, "", launcher_, front_); }

void BrowseToolCommands::Suggestions1Click()
{
    launcher_.OpenWithDesktop(std::string(kMakerContact) + kSuggestionSubject);
}

void BrowseToolCommands::Backupallcollection1Click()
{
    if (!settings_.CollectionDir.empty())
        launcher_.OpenWithDesktop(settings_.CollectionDir);
}

void BrowseToolCommands::Print1Click(int activeView, ViewPrinter& printer, const std::string& selectedTitle)
{
    switch (activeView) {
    case kViewBrowse:
        printer.PrintBrowse();
        break;
    case kViewHtml:
        printer.PrintHtml();
        break;
    case kViewText:
        printer.PrintText(selectedTitle);
        break;
    default:
        break;
    }
}

bool BrowseToolCommands::PageItemsEnabled(int activeView) { return activeView != kViewBrowse; }

}  // namespace ql
