#pragma once
// TWebHost without its window: the option sets and the flags they give, the document-host
// callbacks with their events and fixed defaults, the document commands, navigation, the
// floating-point setting, the print options and the shell-verb DDE service. TWebHost
// (WebHost_wx.h) puts this on a web view; tests drive it headless through a subclass.
#include "components/browserhost/PrintOptions.h"
#include "components/browserhost/WebHostDde.h"
#include "components/browserhost/WebHostOptions.h"
#include "components/browserhost/WebHostPidls.h"
#include "platform/core/Launcher.h"
#include "platform/core/com/DataObject.h"
#include "platform/core/com/Dispatch.h"
#include "platform/core/com/DragDrop.h"
#include "platform/core/com/OleCommandTarget.h"
#include "platform/gui/Json.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace ql {

namespace com {
// Interfaces that only appear in callback signatures; this engine hands none of them out.
class IOleInPlaceActiveObject;
class IOleInPlaceFrame;
class IOleInPlaceUIWindow;
}  // namespace com

namespace dochost {

struct POINT {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
struct RECT {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
// A key message as the host sees it: message WM_KEYDOWN/WM_KEYUP/WM_CHAR, wParam the virtual
// key code, bit 24 of lParam set for the dedicated (extended) keys.
struct MSG {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::uint32_t time = 0;
    POINT pt;
};
inline constexpr std::uint32_t WM_KEYDOWN = 0x100;
inline constexpr std::uint32_t WM_KEYUP = 0x101;
inline constexpr std::uint32_t WM_CHAR = 0x102;
inline constexpr std::uintptr_t VK_BACK = 8;
inline constexpr std::uintptr_t VK_RETURN = 13;
inline constexpr std::uintptr_t VK_LEFT = 0x25;
inline constexpr std::uintptr_t VK_RIGHT = 0x27;
inline constexpr std::intptr_t KF_EXTENDED_BIT = 1 << 24;

struct TDOCHOSTUIINFO {
    std::uint32_t cbSize = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwDoubleClick = 0;
    const char16_t* pchHostCss = nullptr;
    const char16_t* pchHostNS = nullptr;
};
inline constexpr std::uint32_t DOCHOSTUIDBLCLK_DEFAULT = 0;

// What was under the pointer when a context menu was asked for.
inline constexpr std::uint32_t CONTEXT_MENU_DEFAULT = 0;
inline constexpr std::uint32_t CONTEXT_MENU_IMAGE = 1;
inline constexpr std::uint32_t CONTEXT_MENU_CONTROL = 2;
inline constexpr std::uint32_t CONTEXT_MENU_TEXTSELECT = 4;
inline constexpr std::uint32_t CONTEXT_MENU_ANCHOR = 5;
std::uint32_t ContextMenuKind(bool editable, bool image, bool link, bool selection);

// Message box types and answers of script dialogs.
inline constexpr std::int32_t MB_OK = 0x0;
inline constexpr std::int32_t MB_OKCANCEL = 0x1;
inline constexpr std::int32_t MB_ICONQUESTION = 0x20;
inline constexpr std::int32_t MB_ICONWARNING = 0x30;
inline constexpr std::int32_t IDOK = 1;
inline constexpr std::int32_t IDCANCEL = 2;

// Keys the browser gets as plain key messages; every other key goes through the accelerator
// translation first: Backspace, Enter, and the dedicated (not keypad) Left and Right arrows.
bool KeyBypassesAccelerators(std::uintptr_t virtualKey, std::intptr_t lParam);

}  // namespace dochost

// Answers a service request (IServiceProvider).
inline constexpr com::IID IID_IServiceProvider{
    0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
inline constexpr com::IID IID_IDocHostUIHandler{
    0xBD3F23C0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};
inline constexpr com::IID IID_IDocHostShowUI{
    0xC4D244B0, 0xD43E, 0x11CF, {0x89, 0x3B, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x1A}};

// The key under which each value name is a token the engine adds to its user agent.
inline constexpr char kUserAgentKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent\\Post Platform";
// Those value names in the store's order, joined by blanks (the unnamed value adds nothing).
std::string RegisteredUserAgentTokens();

enum class NavigationAction { Allow, Ignore, LoadInstead, OpenExternally };
struct NavigationDecision {
    NavigationAction action = NavigationAction::Allow;
    std::string url;  // for LoadInstead and OpenExternally
};

class TWebHostCore : public DdeServer {
public:
    using HRESULT = com::HRESULT;

    explicit TWebHostCore(Launcher& launcher);
    ~TWebHostCore() override;
    TWebHostCore(const TWebHostCore&) = delete;
    TWebHostCore& operator=(const TWebHostCore&) = delete;

    // --- options ---------------------------------------------------------------------------
    const TDownloadControlOptions& DownloadOptions() const { return downloadOptions_; }
    void SetDownloadOptions(const TDownloadControlOptions& options);
    const TUserInterfaceOptions& UserInterfaceOptions() const { return userInterfaceOptions_; }
    void SetUserInterfaceOptions(const TUserInterfaceOptions& options);
    std::uint32_t DownloadControlFlags() const { return downloadControlFlags_; }
    std::uint32_t HostUIFlags() const { return hostUIFlags_; }
    void UpdateDownloadControlFlags();
    void UpdateHostUIFlags();

    // True: the start-up control word (its exception masks kept set); false: 0x133F.
    bool fpExceptions() const { return fpExceptions_; }
    void SetfpExceptions(bool value);

    TPrintOptions PrintOptions;
    std::string HelpFile;
    bool ReplaceCaption = false;
    // The token is registered for the browser from construction to destruction: a value of that
    // name (the unnamed one when empty) under the user-agent key, whose value names the engine
    // adds to its user agent. A new token replaces this host's value.
    const std::string& UserAgent() const { return userAgent_; }
    void SetUserAgent(const std::string& token);
    void RegisterUserAgent();
    void UnregisterUserAgent();
    // The browser's page setup (HKEY_CURRENT_USER "Software\Microsoft\Internet Explorer\PageSetup")
    // into PrintOptions: Header, Footer, then Left, Right, Top, Bottom in the options' unit. A
    // missing key changes nothing; a margin that is missing or no number stops the reading there
    // (false; what was read stays).
    bool ReadPageSetup();
    // Where the engine keeps its own options (its page setup): the key GetOptionKeyPath gives,
    // asked once, when the engine first needs its options; else the engine's own.
    const std::string& OptionRoot();
    bool EnableDDE = false;
    bool LocaleUsesInches = false;
    int Tag = 0;
    // The file-system path of an item-id list, from the shell namespace ("" when the list names
    // no file-system item); the namespace's own resolver unless replaced. Unset, no list names a
    // path: the items' data is the namespace's to interpret, so opening or exploring by list
    // fails rather than guessing.
    std::function<std::string(const shell::ItemIdList&)> ItemIdListToPath;
    // The path ItemIdListToPath gives for `list`; "" when it is unset or names none.
    std::string PathOfItemIdList(const shell::ItemIdList& list) const;

    // What the options make of the engine, asked the way the browser asks its host: the
    // download-control ambient property through Invoke, the host flags through GetHostInfo.
    web::WebEngineSettings EngineSettings();

    // What becomes of a navigation the page starts: the URL may be translated (TranslateUrl,
    // then the translation loads instead); a followed link goes to the desktop's browser when
    // the options say so (one within the same document stays), and so does anything the page
    // wants in a new window. Only http, https and file URLs leave the program; others are
    // ignored there.
    NavigationDecision DecideNavigation(const std::string& url, const std::string& currentUrl, bool linkClick,
                                        bool newWindow);

    // --- navigation and document commands --------------------------------------------------
    void NavigateToUrl(const std::string& url);
    // Shows the item the list names; false (nothing loads) when it is nil or names no path.
    bool NavigateToItemIdList(const shell::ItemIdList* list);
    // Runs a command on the document's command target; nothing when there is no document or no
    // target, and nothing is reported.
    void ExecDocumentCommand(bool useBrowserGroup, std::uint32_t cmdId, std::uint32_t execOpt, com::Variant& inArg,
                             com::Variant& outArg);
    void PrintDocument();
    void OpenFindDialog();
    void CopySelection();
    void SelectAllContent();
    // The current document (an IHTMLDocument2 that also answers IOleCommandTarget); nullptr
    // before a page is loaded.
    virtual com::ComPtr<com::IDispatch> Document() = 0;

    // --- document-host callbacks (each raises its event when set, else gives its default) --
    std::function<HRESULT(std::uint32_t dwID, dochost::POINT* ppt, com::IUnknown* pcmdtReserved,
                          com::IDispatch* pdispReserved)>
        OnShowContextMenu;
    std::function<HRESULT(dochost::TDOCHOSTUIINFO& info)> OnGetHostInfo;
    std::function<HRESULT(std::uint32_t dwID, com::IOleInPlaceActiveObject* activeObject,
                          com::IOleCommandTarget* commandTarget, com::IOleInPlaceFrame* frame,
                          com::IOleInPlaceUIWindow* doc)>
        OnShowUI;
    std::function<HRESULT()> OnHideUI;
    std::function<HRESULT()> OnUpdateUI;
    std::function<HRESULT(bool fEnable)> OnEnableModeless;
    std::function<HRESULT(bool fActivate)> OnOnDocWindowActivate;
    std::function<HRESULT(bool fActivate)> OnOnFrameWindowActivate;
    std::function<HRESULT(const dochost::RECT* prcBorder, com::IOleInPlaceUIWindow* uiWindow, bool frameWindow)>
        OnResizeBorder;
    std::function<HRESULT(const dochost::MSG* msg, const com::GUID* group, std::uint32_t cmdId)> OnTranslateAccelerator;
    std::function<HRESULT(std::u16string& key, std::uint32_t dw)> OnGetOptionKeyPath;
    std::function<HRESULT(com::IDropTarget* dropTarget, com::IDropTarget** result)> OnGetDropTarget;
    std::function<HRESULT(com::IDispatch** dispatch)> OnGetExternal;
    std::function<HRESULT(std::uint32_t translate, const std::u16string& urlIn, std::u16string& urlOut)> OnTranslateUrl;
    std::function<HRESULT(com::IDataObject* dataObject, com::IDataObject** result)> OnFilterDataObject;
    std::function<HRESULT(const std::u16string& key, std::uint32_t dw)> OnGetOverridePath;  // never raised
    std::function<HRESULT(const std::u16string& text, const std::u16string& caption, std::int32_t type,
                          const std::u16string& helpFile, std::int32_t helpContext, std::int32_t& result)>
        OnShowMessage;
    std::function<HRESULT(const std::u16string& helpFile, std::int32_t command, std::int32_t data,
                          dochost::POINT& mouse, com::IDispatch** objectHit)>
        OnShowHelp;
    // The ambient dispatch's type information and names: the engine asks its one ambient
    // property (the download control) by its number at its start, so nothing raises these
    // three; a caller of the dispatch gets them.
    std::function<HRESULT(std::int32_t& count)> OnGetTypeInfoCount;
    std::function<HRESULT(std::int32_t index, std::int32_t localeId, com::ITypeInfo** info)> OnGetTypeInfo;
    std::function<HRESULT(const com::IID& iid, const std::u16string* names, std::int32_t count, std::int32_t localeId,
                          com::DISPID* ids)>
        OnGetIDsOfNames;
    std::function<HRESULT(com::DISPID id, const com::IID& iid, std::int32_t localeId, std::uint16_t flags,
                          com::DISPPARAMS& params, com::Variant* result, com::EXCEPINFO* excepInfo,
                          std::uint32_t* argErr)>
        OnInvoke;
    std::function<HRESULT(const com::GUID& service, const com::IID& iid, com::IUnknown** object)> OnQueryService;

    // IDocHostUIHandler
    HRESULT ShowContextMenu(std::uint32_t dwID, dochost::POINT* ppt, com::IUnknown* pcmdtReserved,
                            com::IDispatch* pdispReserved);
    HRESULT GetHostInfo(dochost::TDOCHOSTUIINFO* info);
    HRESULT ShowUI(std::uint32_t dwID, com::IOleInPlaceActiveObject* activeObject,
                   com::IOleCommandTarget* commandTarget, com::IOleInPlaceFrame* frame, com::IOleInPlaceUIWindow* doc);
    HRESULT HideUI();
    HRESULT UpdateUI();
    HRESULT EnableModeless(bool fEnable);
    HRESULT OnDocWindowActivate(bool fActivate);
    HRESULT OnFrameWindowActivate(bool fActivate);
    HRESULT ResizeBorder(const dochost::RECT* prcBorder, com::IOleInPlaceUIWindow* uiWindow, bool frameWindow);
    HRESULT TranslateAccelerator(const dochost::MSG* msg, const com::GUID* group, std::uint32_t cmdId);
    HRESULT GetOptionKeyPath(std::u16string* key, std::uint32_t dw);
    HRESULT GetDropTarget(com::IDropTarget* dropTarget, com::IDropTarget** result);
    HRESULT GetExternal(com::IDispatch** dispatch);
    HRESULT TranslateUrl(std::uint32_t translate, const std::u16string& urlIn, std::u16string* urlOut);
    HRESULT FilterDataObject(com::IDataObject* dataObject, com::IDataObject** result);
    // IDocHostShowUI
    HRESULT ShowMessage(const std::u16string& text, const std::u16string& caption, std::int32_t type,
                        const std::u16string& helpFile, std::int32_t helpContext, std::int32_t* result);
    HRESULT ShowHelp(const std::u16string& helpFile, std::int32_t command, std::int32_t data, dochost::POINT mouse,
                     com::IDispatch** objectHit);
    // IServiceProvider
    HRESULT QueryService(const com::GUID& service, const com::IID& iid, com::IUnknown** object);
    // IDispatch (ambient properties)
    HRESULT GetTypeInfoCount(std::int32_t* count);
    HRESULT GetTypeInfo(std::int32_t index, std::int32_t localeId, com::ITypeInfo** info);
    HRESULT GetIDsOfNames(const com::IID& iid, const std::u16string* names, std::int32_t count, std::int32_t localeId,
                          com::DISPID* ids);
    HRESULT Invoke(com::DISPID id, const com::IID& iid, std::int32_t localeId, std::uint16_t flags,
                   com::DISPPARAMS& params, com::Variant* result, com::EXCEPINFO* excepInfo, std::uint32_t* argErr);

    // A page's call of window.external.<method>(args): the host's external object (GetExternal)
    // runs the method by name. False with `error` when there is none, the name is unknown or
    // an argument cannot cross.
    bool InvokeExternal(const std::string& method, const json::Array& args, json::Value& result, std::string& error);

    // --- shell-verb DDE service ------------------------------------------------------------
    bool DdeInitiate(const std::string& application, const std::string& topic, const DdeClient& client) override;
    bool DdeExecute(const std::string& command) override;

protected:
    // Loads a URL (text) or an item-id list (VT_ARRAY | VT_UI1 holding its bytes).
    virtual void Navigate2(const com::Variant& target) = 0;
    // The browser's notification that an ambient property changed (the options changed).
    virtual void AmbientPropertyChanged(com::DISPID) {}
    // A document command is about to go to the document (cut and copy put data on the clipboard).
    virtual void DocumentCommandIssued(std::uint32_t /*cmdId*/) {}
    Launcher& launcher() { return launcher_; }

private:
    // The framework's answers for the ordinary ambient properties.
    HRESULT BaseAmbientInvoke(com::DISPID id, std::uint16_t flags, com::Variant* result);
    bool ShellLaunch(const TFolderCommand& command);

    Launcher& launcher_;
    TDownloadControlOptions downloadOptions_;
    TUserInterfaceOptions userInterfaceOptions_;
    std::uint32_t downloadControlFlags_ = 0;
    std::uint32_t hostUIFlags_ = 0;
    bool fpExceptions_ = true;
    std::string userAgent_;
    bool userAgentRegistered_ = false;
    std::optional<std::string> optionRoot_;
    std::thread::id thread_;
};

}  // namespace ql
