#pragma once
// The export commands of the editor window: "Save Homepage As..." (one page with its pictures
// under a name the user picks), "Export Node (Include ChildNodes)" (a subtree into a folder with
// an index page) and "Create Index Html" (an index of the whole collection in its folder).
#include "app/editor/CollectionExport.h"

#include <optional>
#include <string>
#include <vector>

namespace ql {

class EditorDialogs;
class EditorWindow;
class Launcher;
class WindowActivator;
class PageSession;

// The file and folder choosers the export commands use.
class ExportDialogs {
public:
    virtual ~ExportDialogs() = default;
    // The save dialog with `filter` (descriptions and patterns paired with "|") proposing
    // `proposedName`; the confirmed path, or nothing when cancelled.
    virtual std::optional<std::string> SaveFile(const std::string& filter, const std::string& proposedName) = 0;
    // The folder chooser with `caption`; the chosen folder, or nothing when cancelled.
    virtual std::optional<std::string> SelectFolder(const std::string& caption) = 0;
};

inline constexpr char kSaveAsFilter[] = "*.html;*.htm|*.html;*.htm|*.*|*.*";
inline constexpr char kSelectDirectoryCaption[] = "Select directory: ";
inline constexpr char kReplaceFileCaption[] = "Save as ...";

class ExportCommands {
public:
    ExportCommands(PageSession& session, EditorWindow& window, EditorDialogs& dialogs, ExportDialogs& choosers,
                   Launcher& launcher, WindowActivator& front, const IniFile* imagesIni);

    // "Save Homepage As..." / "Save as ...": the selected node's page as last saved, always
    // written as ".html"; the user is asked before that replaces a file other than the one
    // confirmed. Returns the written file, "" when nothing was written.
    std::string SaveAs1Click();
    std::string Export1Click() { return CreateIndexPage(false, true); }
    std::string CreateIndexHtml1Click() { return CreateIndexPage(true, true); }
    // Writes the index page (of the whole tree, or of the selected node's subtree copied into a
    // folder the user picks) and opens it in the browser with `openAfter`. Returns the index
    // file, "" when nothing was written.
    std::string CreateIndexPage(bool wholeTree, bool openAfter);

private:
    ExportPaths Paths() const;

    PageSession& session_;
    EditorWindow& window_;
    EditorDialogs& dialogs_;
    ExportDialogs& choosers_;
    Launcher& launcher_;
    WindowActivator& front_;
    const IniFile* imagesIni_;
};

// The question before the ".html" file replaces another one.
std::string ReplaceFileQuestion(const std::string& file);
// The message when the index page could not be written.
std::string IndexWriteFailedMessage(const std::string& file);
// The message when pages or pictures could not be copied: the first one named, the others counted.
std::string CopiesFailedMessage(const std::vector<std::string>& files);

}  // namespace ql
