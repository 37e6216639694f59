#pragma once
// The editor window as the drop zone's editor.
#include "app/collection/PageSession.h"
#include "app/zone/ZoneEditor.h"

namespace ql {

// Makes the editor window (hidden) when the zone first needs it; its Options, About and Exit
// run the zone's commands.
ZoneEditorFactory EditorFormFactory(CollectionContext context);

}  // namespace ql
