#pragma once
// A wxWebView on WebKitGTK as our DocumentEngine: settings applied through the native
// backend, our scripts run synchronously in a script world of their own (the page's scripts
// may be off, ours still run), the engine's editing commands, printing without a dialog
// (to the default printer or a PDF file), the find dialog, and the engine's hooks (context
// menu, script dialogs, navigation policy, window close, link hover, document completion).
#include "platform/gui/DocumentEngine.h"
#include "platform/gui/EnginePageSetup.h"
#include "platform/gui/Json.h"
#include "platform/gui/WebEngineSettings.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class wxWindow;
class wxWebView;
typedef struct _WebKitWebView WebKitWebView;

namespace ql::web {

// The script world our scripts run in, apart from the page's own.
inline constexpr char kScriptWorld[] = "quillory";

struct PrintJob {
    bool withDialog = false;
    std::string outputFile;  // "" prints to the default printer; else a PDF file at this path
    std::optional<PageSetup> pageSetup;
};

struct ContextMenuRequest {
    bool editable = false, image = false, link = false, selection = false;
    int screenX = 0, screenY = 0;
};

enum class ScriptDialogKind { Alert, Confirm, Prompt, BeforeUnload };
struct ScriptDialogRequest {
    ScriptDialogKind kind = ScriptDialogKind::Alert;
    std::string message;
};

enum class NavigationVerdict { Allow, Ignore };
struct NavigationRequest {
    std::string url;
    bool linkClick = false;  // the user followed a link
    bool newWindow = false;  // the page wants it in a new window
};

class WebViewEngine final : public DocumentEngine, public std::enable_shared_from_this<WebViewEngine> {
public:
    // The engine with a new web view as a child of `parent`; nullptr (with `error`) when no
    // web view can be made here.
    static std::shared_ptr<WebViewEngine> Create(wxWindow* parent, std::string* error = nullptr);
    ~WebViewEngine() override;
    WebViewEngine(const WebViewEngine&) = delete;
    WebViewEngine& operator=(const WebViewEngine&) = delete;

    wxWebView* View() const;
    WebKitWebView* Native() const;  // nullptr once the view is gone

    void Apply(const WebEngineSettings& settings);
    void SetEditable(bool editable);
    // Reports "changed" and "display" messages of each document through OnWatchMessage.
    void WatchEdits();

    // Gives the page's scripts a window.external whose methods call `handler` (method name and
    // plain arguments in, a plain value or an error out); each call returns a promise of the
    // value.
    using ExternalHandler = std::function<bool(const std::string& method, const json::Array& args, json::Value& result,
                                               std::string& error)>;
    void ExposeExternal(ExternalHandler handler);

    // Page files (and markup loaded with a page file's address) go through a URL scheme of our
    // own whose responses forbid the page's scripts, so the document keeps its markup as written
    // while none of it runs; other addresses load with script markup dropped. The document's
    // address then reads "quillory-page:..." (PageScheme.h turns it back).
    void ServePagesWithoutScripts();
    // Only loads asked for through Load, LoadHtml, Reload, GoBack and GoForward go ahead; a
    // page's refresh, form submits, followed links and frames are ignored.
    void FollowOwnLoadsOnly();

    void Load(const std::string& url);
    void LoadHtml(const std::string& html, const std::string& baseUrl);
    void GoBack();
    void GoForward();
    void Stop();
    void Reload();
    bool IsLoading() const;
    // Whether the last load failed (a missing or unreadable file, a network error); there is no
    // document then until the next load.
    bool LoadFailed() const;
    std::string Url() const;

    // Starts printing; false when it could not start (or the dialog was cancelled).
    // OnPrintFinished reports the end.
    bool PrintPage(const PrintJob& job);
    // Where Print() takes its page layout from (none: the engine's own page setup, kept under
    // OptionRoot, EnginePageSetup.h).
    std::function<std::optional<PageSetup>()> PageSetupSource;
    std::string OptionRoot = kEngineOptionRoot;
    // Where Print() without the dialog sends the pages: "" the default printer, else a PDF file
    // at this path. The dialog lets the user choose instead.
    std::string printOutputFile;

    // DocumentEngine
    bool RunScript(const std::string& script, std::string& result) override;
    bool HasDocument() const override;
    std::uint64_t DocumentGeneration() const override;
    bool ExecuteEditingCommand(EditingCommand command) override;
    bool CanExecuteEditingCommand(EditingCommand command) override;
    bool Print(bool promptUser) override;
    bool ShowFindDialog() override;

    // Hooks; each runs on the GUI thread inside the engine's signal, so it must not block.
    std::function<bool(const ContextMenuRequest&)> OnContextMenu;                   // true: no engine menu
    std::function<std::optional<bool>(const ScriptDialogRequest&)> OnScriptDialog;  // answer, or the engine's dialog
    std::function<NavigationVerdict(const NavigationRequest&)> OnNavigation;
    std::function<void()> OnClose;
    std::function<void(const std::string& link)> OnHoverLink;
    std::function<void(const std::string& message)> OnWatchMessage;
    std::function<void()> OnCommitted;
    std::function<void(const std::string& url)> OnLoaded;  // also after a failed load
    std::function<void(const std::string& url, const std::string& error)> OnLoadFailed;
    std::function<void(bool ok, const std::string& error)> OnPrintFinished;

    // Time a script may take before it counts as failed.
    int scriptTimeoutMs = 10000;
    // Whether a script that takes longer ends the page's process as hung (the document is gone
    // until the next load, later calls fail at once). Off where the document holds unsaved work.
    bool endHungProcess = true;
    // Whether a failed load shows the engine's error page (else the view keeps what it showed).
    bool showErrorPages = true;

private:
    struct Impl;
    explicit WebViewEngine(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d_;
    friend struct Impl;
};

}  // namespace ql::web
