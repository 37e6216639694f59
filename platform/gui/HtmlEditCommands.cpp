#include "platform/gui/HtmlEditCommands.h"

#include "platform/core/com/OleCommandTarget.h"
#include "platform/gui/CssValues.h"
#include "platform/gui/DomScript.h"
#include "platform/gui/ScriptDocument.h"
#include "platform/gui/WebUrls.h"

#include <cstdlib>

namespace ql::web {

using namespace ql::com;

namespace {

constexpr EditCommandInfo kCommands[] = {
    {DECMD_BOLD, EditCommandKind::Script, "bold", {}},
    {DECMD_COPY, EditCommandKind::Editing, "copy", EditingCommand::Copy},
    {DECMD_CUT, EditCommandKind::Editing, "cut", EditingCommand::Cut},
    {DECMD_DELETE, EditCommandKind::Script, "delete", {}},
    {DECMD_FINDTEXT, EditCommandKind::Find, "", {}},
    {DECMD_FONT, EditCommandKind::Font, "fontName", {}},
    {DECMD_GETFONTNAME, EditCommandKind::Value, "fontName", {}},
    {DECMD_GETFONTSIZE, EditCommandKind::Value, "fontSize", {}},
    {DECMD_GETFORECOLOR, EditCommandKind::Value, "foreColor", {}},
    {DECMD_HYPERLINK, EditCommandKind::Hyperlink, "createLink", {}},
    {DECMD_IMAGE, EditCommandKind::Image, "insertImage", {}},
    {DECMD_INDENT, EditCommandKind::Script, "indent", {}},
    {DECMD_ITALIC, EditCommandKind::Script, "italic", {}},
    {DECMD_JUSTIFYCENTER, EditCommandKind::Script, "justifyCenter", {}},
    {DECMD_JUSTIFYLEFT, EditCommandKind::Script, "justifyLeft", {}},
    {DECMD_JUSTIFYRIGHT, EditCommandKind::Script, "justifyRight", {}},
    {DECMD_ORDERLIST, EditCommandKind::Script, "insertOrderedList", {}},
    {DECMD_OUTDENT, EditCommandKind::Script, "outdent", {}},
    {DECMD_PASTE, EditCommandKind::Editing, "paste", EditingCommand::Paste},
    {DECMD_REDO, EditCommandKind::Editing, "redo", EditingCommand::Redo},
    {DECMD_SELECTALL, EditCommandKind::Editing, "selectAll", EditingCommand::SelectAll},
    {DECMD_SETFONTNAME, EditCommandKind::Script, "fontName", {}},
    {DECMD_SETFONTSIZE, EditCommandKind::Script, "fontSize", {}},
    {DECMD_SETFORECOLOR, EditCommandKind::Script, "foreColor", {}},
    {DECMD_UNDERLINE, EditCommandKind::Script, "underline", {}},
    {DECMD_UNDO, EditCommandKind::Editing, "undo", EditingCommand::Undo},
    {DECMD_UNORDERLIST, EditCommandKind::Script, "insertUnorderedList", {}},
};

HRESULT Exec(DocumentEngine& engine, const std::string& command, const std::string& jsonValue)
{
    json::Value ok;
    HRESULT hr = RunDomScript(engine, "document.execCommand(" + json::Quote(command) + ",false," + jsonValue + ")",
                              &ok);
    if (FAILED(hr))
        return hr;
    return ok.AsBool() && *ok.AsBool() ? S_OK : OLECMDERR_E_DISABLED;
}

// [supported, enabled, state, indeterminate] of a document command.
bool CommandState(DocumentEngine& engine, const std::string& command, bool state[4])
{
    std::string n = json::Quote(command);
    json::Value v;
    if (FAILED(RunDomScript(engine,
                            "[document.queryCommandSupported(" + n + "),document.queryCommandEnabled(" + n +
                                "),document.queryCommandState(" + n + "),document.queryCommandIndeterm(" + n + ")]",
                            &v)))
        return false;
    const json::Array* a = v.AsArray();
    for (int i = 0; i < 4; ++i)
        state[i] = a && a->size() > static_cast<std::size_t>(i) && (*a)[i].AsBool() && *(*a)[i].AsBool();
    return true;
}

std::string QueryValue(DocumentEngine& engine, const std::string& command, bool& ok)
{
    json::Value v;
    ok = SUCCEEDED(RunDomScript(engine, "document.queryCommandValue(" + json::Quote(command) + ")", &v));
    return ok && v.AsString() ? *v.AsString() : "";
}

HRESULT RunFontDialog(DocumentEngine& engine, EditDialogs& dialogs)
{
    EditDialogs::Font font;
    bool ok = false;
    font.name = FirstFontFamily(QueryValue(engine, "fontName", ok));
    int size = std::atoi(QueryValue(engine, "fontSize", ok).c_str());
    font.size = size >= 1 && size <= 7 ? size : 3;
    font.colour = CssColorToHtmlColor(QueryValue(engine, "foreColor", ok));
    bool st[4];
    font.bold = CommandState(engine, "bold", st) && st[2];
    font.italic = CommandState(engine, "italic", st) && st[2];
    font.underline = CommandState(engine, "underline", st) && st[2];
    const EditDialogs::Font before = font;
    if (!dialogs.AskFont(font))
        return E_ABORT;
    HRESULT hr = S_OK;
    auto apply = [&](HRESULT r) {
        if (FAILED(r))
            hr = r;
    };
    if (!font.name.empty() && font.name != before.name)
        apply(Exec(engine, "fontName", json::Quote(font.name)));
    if (font.size != before.size && font.size >= 1 && font.size <= 7)
        apply(Exec(engine, "fontSize", json::Quote(std::to_string(font.size))));
    if (font.bold != before.bold)
        apply(Exec(engine, "bold", "null"));
    if (font.italic != before.italic)
        apply(Exec(engine, "italic", "null"));
    if (font.underline != before.underline)
        apply(Exec(engine, "underline", "null"));
    if (!font.colour.empty() && font.colour != before.colour)
        apply(Exec(engine, "foreColor", json::Quote(font.colour)));
    return hr;
}

}  // namespace

const EditCommandInfo* FindEditCommand(std::int32_t decmd)
{
    for (const auto& c : kCommands)
        if (c.decmd == decmd)
            return &c;
    return nullptr;
}

std::int32_t CommandStatusBits(bool supported, bool enabled, bool latched, bool indeterminate)
{
    if (!supported)
        return DECMDF_NOTSUPPORTED;
    if (!enabled)
        return DECMDF_DISABLED;
    if (indeterminate)
        return DECMDF_NINCHED;
    if (latched)
        return DECMDF_LATCHED;
    return DECMDF_ENABLED;
}

HRESULT ExecuteEditCommand(DocumentEngine& engine, EditDialogs& dialogs, std::int32_t decmd, std::uint32_t option,
                           const Variant& in, Variant* out)
{
    const EditCommandInfo* info = FindEditCommand(decmd);
    if (!info)
        return OLECMDERR_E_NOTSUPPORTED;
    if (!engine.HasDocument())
        return E_FAIL;
    if (out)
        out->Clear();
    std::string value;
    switch (info->kind) {
    case EditCommandKind::Editing:
        return engine.ExecuteEditingCommand(info->editing) ? S_OK : OLECMDERR_E_DISABLED;
    case EditCommandKind::Find:
        return engine.ShowFindDialog() ? S_OK : E_FAIL;
    case EditCommandKind::Font:
        return RunFontDialog(engine, dialogs);
    case EditCommandKind::Value: {
        bool ok = false;
        std::string v = QueryValue(engine, info->engineCommand, ok);
        if (!ok)
            return E_FAIL;
        if (decmd == DECMD_GETFORECOLOR)
            v = CssColorToHtmlColor(v);
        else if (decmd == DECMD_GETFONTNAME)
            v = FirstFontFamily(v);
        if (out)
            *out = v.empty() && decmd != DECMD_GETFORECOLOR ? Variant::Null() : Variant::Text(v);
        return S_OK;
    }
    case EditCommandKind::Image:
    case EditCommandKind::Hyperlink: {
        std::string target = in.ToUtf8();
        bool prompt = option == OLECMDEXECOPT_PROMPTUSER || target.empty();
        if (prompt) {
            bool answered = info->kind == EditCommandKind::Image ? dialogs.AskImageSource(target)
                                                                 : dialogs.AskLinkUrl(target);
            if (!answered || target.empty())
                return E_ABORT;
        }
        return Exec(engine, info->engineCommand, json::Quote(NavigationUrl(target)));
    }
    case EditCommandKind::Script:
        if (!VariantToJson(in, value))
            return DISP_E_TYPEMISMATCH;
        return Exec(engine, info->engineCommand, value);
    }
    return E_UNEXPECTED;
}

std::int32_t QueryEditCommand(DocumentEngine& engine, std::int32_t decmd)
{
    const EditCommandInfo* info = FindEditCommand(decmd);
    if (!info)
        return DECMDF_NOTSUPPORTED;
    if (!engine.HasDocument())
        return DECMDF_DISABLED;
    switch (info->kind) {
    case EditCommandKind::Editing:
        return CommandStatusBits(true, engine.CanExecuteEditingCommand(info->editing), false, false);
    case EditCommandKind::Find:
        return DECMDF_ENABLED;
    default: {
        bool st[4];
        if (!CommandState(engine, info->engineCommand, st))
            return DECMDF_DISABLED;
        // Reading commands and prompts have no on/off state of their own.
        bool toggles = info->kind == EditCommandKind::Script;
        return CommandStatusBits(st[0], st[1], toggles && st[2], toggles && st[3]);
    }
    }
}

}  // namespace ql::web
