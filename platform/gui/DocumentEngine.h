#pragma once
// What the document facade and the editing commands need from a web view: running our
// scripts (in a script world of our own, apart from the page's), the engine's own editing
// commands, printing and its find dialog. One implementation drives WebKit (WebViewEngine_wx);
// tests use fakes.
#include <cstdint>
#include <string>

namespace ql::web {

enum class EditingCommand { Cut, Copy, Paste, SelectAll, Undo, Redo };

class DocumentEngine {
public:
    virtual ~DocumentEngine() = default;
    // Evaluates `script`, whose value must be a string, and returns that string. False when the
    // engine failed, the script threw or no answer came in time.
    virtual bool RunScript(const std::string& script, std::string& result) = 0;
    // True once a page we asked for has been committed (an empty view has no document).
    virtual bool HasDocument() const = 0;
    // Changes each time a new document is committed, so objects of an older one can tell.
    virtual std::uint64_t DocumentGeneration() const = 0;
    virtual bool ExecuteEditingCommand(EditingCommand command) = 0;
    virtual bool CanExecuteEditingCommand(EditingCommand command) = 0;
    // Prints the document, with the print dialog when `promptUser`; false when it could not start.
    virtual bool Print(bool promptUser) = 0;
    // Opens the engine's find dialog for the document.
    virtual bool ShowFindDialog() = 0;
};

}  // namespace ql::web
