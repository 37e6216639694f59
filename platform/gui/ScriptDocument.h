#pragma once
// The document object model of a web view, built on our scripts: MakeScriptDocument hands out
// the current page as IHTMLDocument2 (which also answers IOleCommandTarget). Every object
// keeps to the document it came from: once the view commits another page, or the view is
// gone, its calls fail with E_FAIL instead of touching the new page.
#include "platform/core/com/Dispatch.h"
#include "platform/core/com/HtmlDocument.h"
#include "platform/core/com/OleCommandTarget.h"
#include "platform/gui/DocumentEngine.h"
#include "platform/gui/Json.h"

#include <memory>
#include <string>

namespace ql::web {

// nullptr when the engine has no document.
com::ComPtr<com::IHTMLDocument2> MakeScriptDocument(const std::shared_ptr<DocumentEngine>& engine);

// Variants to and from the JSON our scripts exchange. VariantToJson fails (false) for objects
// and byte arrays, which do not cross into scripts.
bool VariantToJson(const com::Variant& value, std::string& json);
com::Variant VariantFromJson(const json::Value& value);

// The engine's own editing command behind a command name ("copy", "Paste", ...), if any.
bool EditingCommandOfName(const std::u16string& name, EditingCommand& command);

}  // namespace ql::web
