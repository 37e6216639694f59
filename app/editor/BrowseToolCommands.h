#pragma once
// The Browse view's tools and the editor's other outward commands: the page's original address
// and the page itself in the browser, help, the maker's page, suggestions by e-mail, the storage
// folder, printing by view and which "&Html" items a view allows.
#include <string>

namespace ql {

class Dialogs;
class Launcher;
class WindowActivator;
struct TSettings;

inline constexpr char kHelpFileName[] = "help.chm";
inline constexpr char kSuggestionSubject[] = "?subject=About Quillory";

// How each view prints.
class ViewPrinter {
public:
    virtual ~ViewPrinter() = default;
    virtual void PrintBrowse() = 0;  // the web document, without a prompt
    virtual void PrintHtml() = 0;    // the HTML editing control's document
    virtual void PrintText(const std::string& jobTitle) = 0;
};

// webStatusTextChange: the Browse view reports the link under the pointer, and "" once it
// leaves it. The link shows in the status line; leaving it brings back the status it covered
// (the page's file name), unless the program wrote a new status meanwhile.
class BrowseStatusText {
public:
    // The status line's text after the view reported `text`, given what it shows now.
    std::string Change(const std::string& current, const std::string& text);

private:
    bool hovering_ = false;
    std::string covered_, shown_;
};

class BrowseToolCommands {
public:
    // `appDir` is the program's folder with a trailing '/'.
    BrowseToolCommands(TSettings& settings, Dialogs& dialogs, Launcher& launcher, WindowActivator& front,
                       std::string appDir);

    void ToolButton112Click();  // "Open original homepage"
    void ToolButton55Click();   // "Open in Browser": the page as last saved
    void HelpDocument1Click();
    void SoftwareHomepage1Click();
    void Suggestions1Click();
    void Backupallcollection1Click();  // "Open Storage Folder"
    // "Print...": by the active view; the Text view's job takes the selected node's title.
    static void Print1Click(int activeView, ViewPrinter& printer, const std::string& selectedTitle);
    // "&New (Clear)", "&Open...", "&Save" and "Reload" act on an editable view only.
    static bool PageItemsEnabled(int activeView);

private:
    TSettings& settings_;
    Dialogs& dialogs_;
    Launcher& launcher_;
    WindowActivator& front_;
    std::string appDir_;
};

}  // namespace ql
