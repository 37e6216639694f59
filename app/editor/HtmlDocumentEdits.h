#pragma once
// The HTML view's document operations of the editing commands, on the document object model:
// the command target's flags, the selection replaced by markup, the background colour and
// picture. A null document makes each of them fail (or answer "nothing").
#include "app/editor/EditCommandPorts.h"
#include "platform/core/com/HtmlDocument.h"

#include <functional>
#include <optional>
#include <string>

namespace ql {

DocCommandState QueryDocCommand(com::IHTMLDocument2* document, std::uint32_t command, bool tableGroup);
bool ReplaceSelectionHtml(com::IHTMLDocument2* document,
                          const std::function<std::string(const std::string& former)>& make);
std::optional<std::string> DocumentBackgroundColor(com::IHTMLDocument2* document);
bool SetDocumentBackgroundColor(com::IHTMLDocument2* document, const std::string& color);
bool SetBodyBackground(com::IHTMLDocument2* document, const std::string& url);

}  // namespace ql
