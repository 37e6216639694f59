#include "components/browserhost/WebHostCore.h"
#include "platform/core/ErrorLog.h"
#include "platform/core/shell/ShellFolder.h"

#include "platform/gui/WebUrls.h"

namespace ql {

using namespace ql::com;

namespace dochost {

std::uint32_t ContextMenuKind(bool editable, bool image, bool link, bool selection)
{
    if (editable)
        return CONTEXT_MENU_CONTROL;
    if (image)
        return CONTEXT_MENU_IMAGE;
    if (link)
        return CONTEXT_MENU_ANCHOR;
    if (selection)
        return CONTEXT_MENU_TEXTSELECT;
    return CONTEXT_MENU_DEFAULT;
}

bool KeyBypassesAccelerators(std::uintptr_t virtualKey, std::intptr_t lParam)
{
    if (virtualKey == VK_BACK || virtualKey == VK_RETURN)
        return true;
    return (virtualKey == VK_LEFT || virtualKey == VK_RIGHT) && (lParam & KF_EXTENDED_BIT) != 0;
}

}  // namespace dochost

TWebHostCore::TWebHostCore(Launcher& launcher) : launcher_(launcher), thread_(std::this_thread::get_id())
{
    fpExceptions_ = true;  // stored only: the control word is not touched here
    ReadDdeVerbs();
    RegisterDdeServer(this);
    LocaleUsesInches = ql::LocaleUsesInches();
    SetDownloadOptions({TDownloadControlOption::DLCTL_DLIMAGES, TDownloadControlOption::DLCTL_VIDEOS,
                        TDownloadControlOption::DLCTL_BGSOUNDS});
    SetUserInterfaceOptions({});
    EnableDDE = false;
    ItemIdListToPath = [](const shell::ItemIdList& list) { return shell::SHGetPathFromIDList(&list); };
    RegisterUserAgent();
}

TWebHostCore::~TWebHostCore()
{
    UnregisterUserAgent();
    UnregisterDdeServer(this);
}

void TWebHostCore::SetDownloadOptions(const TDownloadControlOptions& options)
{
    downloadOptions_ = options;
    UpdateDownloadControlFlags();
    AmbientPropertyChanged(DISPID_AMBIENT_DLCONTROL);
}

void TWebHostCore::SetUserInterfaceOptions(const TUserInterfaceOptions& options)
{
    userInterfaceOptions_ = options;
    UpdateHostUIFlags();
    AmbientPropertyChanged(DISPID_AMBIENT_DLCONTROL);
}

void TWebHostCore::UpdateDownloadControlFlags() { downloadControlFlags_ = DownloadControlFlagsOf(downloadOptions_); }

void TWebHostCore::UpdateHostUIFlags() { hostUIFlags_ = HostUIFlagsOf(userInterfaceOptions_); }

void TWebHostCore::SetfpExceptions(bool value)
{
    WriteFpuControlWord(value ? SavedFPUControlWord : MaskedFpuControlWord);
    fpExceptions_ = value;
}

void TWebHostCore::SetUserAgent(const std::string& token)
{
    bool registered = userAgentRegistered_;
    UnregisterUserAgent();
    userAgent_ = token;
    if (registered)
        RegisterUserAgent();
    AmbientPropertyChanged(DISPID_AMBIENT_DLCONTROL);
}

web::WebEngineSettings TWebHostCore::EngineSettings()
{
    Variant flags;
    DISPPARAMS none;
    std::uint32_t dl = 0;
    if (SUCCEEDED(
            Invoke(DISPID_AMBIENT_DLCONTROL, IID_NULL, 0x400, DISPATCH_PROPERTYGET, none, &flags, nullptr, nullptr))) {
        if (const auto* i = flags.AsInt())
            dl = static_cast<std::uint32_t>(*i);
        else if (const auto* u = flags.AsUInt())
            dl = *u;
    }
    dochost::TDOCHOSTUIINFO info;
    info.cbSize = 20;
    GetHostInfo(&info);
    web::WebEngineSettings s = EngineSettingsFor(dl, info.dwFlags);
    s.userAgentToken = RegisteredUserAgentTokens();
    return s;
}

NavigationDecision TWebHostCore::DecideNavigation(const std::string& url, const std::string& currentUrl, bool linkClick,
                                                  bool newWindow)
{
    NavigationDecision d;
    std::string target = url;
    std::u16string translated;
    bool changed = false;
    if (TranslateUrl(0, WideFromUtf8(url), &translated) == S_OK && !translated.empty()) {
        std::string t = Utf8FromWide(translated);
        changed = t != url;
        target = t;
    }
    auto withoutFragment = [](const std::string& u) { return u.substr(0, u.find('#')); };
    bool sameDocument = !currentUrl.empty() && withoutFragment(target) == withoutFragment(currentUrl);
    if (newWindow || (linkClick && !sameDocument && EngineSettings().linksOpenExternally)) {
        std::string scheme = web::UrlScheme(target);
        bool leaves = scheme == "http" || scheme == "https" || scheme == "file";
        d.action = leaves ? NavigationAction::OpenExternally : NavigationAction::Ignore;
        d.url = target;
        return d;
    }
    if (changed) {
        d.action = NavigationAction::LoadInstead;
        d.url = target;
    }
    return d;
}

void TWebHostCore::NavigateToUrl(const std::string& url) { Navigate2(Variant::Text(url)); }

std::string TWebHostCore::PathOfItemIdList(const shell::ItemIdList& list) const
{
    return ItemIdListToPath ? ItemIdListToPath(list) : std::string();
}

bool TWebHostCore::NavigateToItemIdList(const shell::ItemIdList* list)
{
    if (!list || ItemIdListSize(list) == 0 || PathOfItemIdList(*list).empty())
        return false;
    Navigate2(Variant::Bytes(list->Bytes()));
    return true;
}

void TWebHostCore::ExecDocumentCommand(bool useBrowserGroup, std::uint32_t cmdId, std::uint32_t execOpt, Variant& inArg,
                                       Variant& outArg)
{
    // The command's failure leaves nothing behind and is not told to the user; it is logged.
    GuardHandler("browser host", [&] {
        const GUID group = CGID_WebBrowser;
        ComPtr<IDispatch> document = Document();
        if (!document)
            return;
        ComPtr<IOleCommandTarget> target;
        if (FAILED(document->QueryInterface(IOleCommandTarget::IID_, target.putVoid())) || !target)
            return;
        DocumentCommandIssued(cmdId);
        target->Exec(useBrowserGroup ? &group : nullptr, cmdId, execOpt, &inArg, &outArg);
    });
}

void TWebHostCore::PrintDocument()
{
    Variant in, out;
    ExecDocumentCommand(false, OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER, in, out);
}

void TWebHostCore::OpenFindDialog()
{
    Variant in, out;
    ExecDocumentCommand(true, WEBBROWSER_CMD_FIND, OLECMDEXECOPT_DODEFAULT, in, out);
}

void TWebHostCore::CopySelection()
{
    Variant in, out;
    ExecDocumentCommand(false, OLECMDID_COPY, OLECMDEXECOPT_DODEFAULT, in, out);
}

void TWebHostCore::SelectAllContent()
{
    Variant in, out;
    ExecDocumentCommand(false, OLECMDID_SELECTALL, OLECMDEXECOPT_DODEFAULT, in, out);
}

}  // namespace ql
