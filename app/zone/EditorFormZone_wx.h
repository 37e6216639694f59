#pragma once
// The editor window as the drop zone's editor.
#include "app/editor/session/PageSession.h"
#include "app/zone/ZoneEditor.h"

namespace ql {

class UnattendedDialogs;

// Makes the editor window (hidden) when the zone first needs it; its Options, About and Exit
// run the zone's commands. Its boxes are `boxes`, which must outlive the window (the program
// keeps them to its end).
ZoneEditorFactory EditorFormFactory(CollectionContext context, UnattendedDialogs& boxes);

}  // namespace ql
