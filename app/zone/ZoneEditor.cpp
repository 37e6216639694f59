#include "app/zone/ZoneEditor.h"

#include "app/collection/PageSession.h"

namespace ql {

CollectionTree& ZoneEditor::Tree() { return Session().EditorTree(); }

}  // namespace ql
