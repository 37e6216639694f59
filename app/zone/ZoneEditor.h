#pragma once
// What the drop zone needs of the editor window. The editor is made on first use through a
// factory; the program adapts its editor form to this port, tests pass a fake.
#include "app/editor/session/DeferredWork.h"
#include "app/zone/ZoneMenu.h"

#include <functional>
#include <memory>

namespace ql {

class ClipIntake;
class CollectionTree;
class PageSession;
class TreeNode;

class ZoneEditor {
public:
    virtual ~ZoneEditor() = default;

    virtual PageSession& Session() = 0;
    virtual ClipIntake& Clips() = 0;
    CollectionTree& Tree();  // the session's editor tree

    // The views: which is active, switching (with `load` the selected node's page is shown),
    // and pasting the clipboard into the HTML view's document.
    virtual int ActiveView() const = 0;
    virtual void SwitchView(int view, bool load) = 0;
    virtual void PasteIntoHtmlView() = 0;

    // The editor's show-time preparation (placement once, layout, tree loaded once); leaves a
    // hidden editor hidden.
    virtual void FormShow() = 0;
    virtual bool IsShown() const = 0;
    virtual void SetShown(bool shown) = 0;
    virtual bool IsMinimized() const = 0;
    virtual void Restore() = 0;
    virtual void BringToFront() = 0;
    // The editor is the active window of this program (a drag over the zone then comes from it).
    virtual bool IsActiveWindow() const = 0;
    // Selects the node as the user would (the editor shows its page).
    virtual void SelectNode(TreeNode* node) = 0;
    // The editor's "Add Node" (asks for a title, adds and selects the node) and "Add Clipboard
    // Contents".
    virtual void AddNode() = 0;
    virtual void AddClipboardContents() = 0;
    // The clipboard road's paste, once the source program has copied its selection
    // (ZoneAction::CopyAndPaste).
    virtual void RunClipboardPaste() = 0;
    // Stores the window's placement in the registry; false when it could not be written.
    [[nodiscard]] virtual bool SavePlacement() = 0;
    // From now on the editor's boxes wait for nobody: messages are logged, questions get No.
    virtual void SetUnattended() = 0;
    // Where the editor's own deferred actions (copy, copy and paste) go.
    virtual void SetActionSink(std::function<void(ZoneAction action, int intervalMs, int ticks)> sink) = 0;
};

// Runs one of the zone's menu commands as its menu does (Options, About and Exit are also the
// editor's own).
using ZoneCommandRunner = std::function<void(ZoneCommand)>;

// Makes the editor, which runs the zone's commands through `runCommand` (unset: the editor
// offers none of them); may give nullptr when it cannot be made.
using ZoneEditorFactory = std::function<std::unique_ptr<ZoneEditor>(const ZoneCommandRunner& runCommand)>;

}  // namespace ql
