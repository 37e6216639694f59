#include "app/zone/ZoneEditor.h"

#include "app/editor/session/PageSession.h"

namespace ql {

CollectionTree& ZoneEditor::Tree() { return Session().EditorTree(); }

}  // namespace ql
