#pragma once
// Our script library inside the page (in our own script world) and the one way we call it:
// RunDomScript wraps an expression so that its value, or the error it threw, comes back as
// JSON. Values put into `body` must be json::Quote'd or json::Encode'd.
#include "platform/core/com/ComBase.h"
#include "platform/gui/DocumentEngine.h"
#include "platform/gui/Json.h"

#include <string>

namespace ql::web {

// The whole script that evaluates `body` with the library at hand as `Q`.
std::string WrapDomScript(const std::string& body);

// Runs `body` (an expression over `Q`); its value (undefined as null) in *value.
// E_FAIL when the engine gave no answer or an unreadable one, DISP_E_EXCEPTION when the
// script threw (a stale object included).
com::HRESULT RunDomScript(DocumentEngine& engine, const std::string& body, json::Value* value);

// The expression that finds the next occurrence of `text` in the page and selects it (wrapping
// around at the end); its value says whether one was found.
std::string FindInPageExpression(const std::string& text, bool matchCase, bool wholeWord, bool backwards);

// The script our editing view runs at the end of every document it loads: it reports edits
// ("changed") and selection or content changes ("display") to the message handler `handler`.
std::string EditWatchScript(const std::string& handler);
// The script a view runs in every document to report its selection changes ("selection", at
// most one message per turn of the page's event loop) to the message handler `handler`.
std::string SelectionWatchScript(const std::string& handler);

}  // namespace ql::web
