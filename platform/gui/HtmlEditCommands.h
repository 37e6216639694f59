#pragma once
// The HTML editing control's numbered commands: which engine action each DECMD_* number
// runs, which prompt it may show, and the QueryStatus answer built from the engine's command
// state. Runs against a DocumentEngine and an EditDialogs port, so it is tested without a view.
#include "platform/core/com/Dispatch.h"
#include "platform/gui/DocumentEngine.h"

#include <cstdint>
#include <optional>
#include <string>

namespace ql::web {

inline constexpr std::int32_t DECMD_BOLD = 5000;
inline constexpr std::int32_t DECMD_COPY = 5002;
inline constexpr std::int32_t DECMD_CUT = 5003;
inline constexpr std::int32_t DECMD_DELETE = 5004;
inline constexpr std::int32_t DECMD_FINDTEXT = 5008;
inline constexpr std::int32_t DECMD_FONT = 5009;
inline constexpr std::int32_t DECMD_GETFONTNAME = 5013;
inline constexpr std::int32_t DECMD_GETFONTSIZE = 5014;
inline constexpr std::int32_t DECMD_GETFORECOLOR = 5015;
inline constexpr std::int32_t DECMD_HYPERLINK = 5016;
inline constexpr std::int32_t DECMD_IMAGE = 5017;
inline constexpr std::int32_t DECMD_INDENT = 5018;
inline constexpr std::int32_t DECMD_ITALIC = 5023;
inline constexpr std::int32_t DECMD_JUSTIFYCENTER = 5024;
inline constexpr std::int32_t DECMD_JUSTIFYLEFT = 5025;
inline constexpr std::int32_t DECMD_JUSTIFYRIGHT = 5026;
inline constexpr std::int32_t DECMD_ORDERLIST = 5030;
inline constexpr std::int32_t DECMD_OUTDENT = 5031;
inline constexpr std::int32_t DECMD_PASTE = 5032;
inline constexpr std::int32_t DECMD_REDO = 5033;
inline constexpr std::int32_t DECMD_SELECTALL = 5035;
inline constexpr std::int32_t DECMD_SETFONTNAME = 5044;
inline constexpr std::int32_t DECMD_SETFONTSIZE = 5045;
inline constexpr std::int32_t DECMD_SETFORECOLOR = 5046;
inline constexpr std::int32_t DECMD_UNDERLINE = 5048;
inline constexpr std::int32_t DECMD_UNDO = 5049;
inline constexpr std::int32_t DECMD_UNORDERLIST = 5051;

// QueryStatus answers.
inline constexpr std::int32_t DECMDF_NOTSUPPORTED = 0;
inline constexpr std::int32_t DECMDF_DISABLED = 1;
inline constexpr std::int32_t DECMDF_ENABLED = 3;
inline constexpr std::int32_t DECMDF_LATCHED = 7;
inline constexpr std::int32_t DECMDF_NINCHED = 11;

enum class EditCommandKind {
    Script,     // document.execCommand(engineCommand[, in-value])
    Editing,    // the engine's own editing command
    Value,      // reads document.queryCommandValue(engineCommand)
    Find,       // the find dialog
    Font,       // the font dialog
    Image,      // insertImage with the in-value, or the picture prompt
    Hyperlink,  // createLink with the in-value, or the link prompt
};

struct EditCommandInfo {
    std::int32_t decmd;
    EditCommandKind kind;
    const char* engineCommand;  // the execCommand / queryCommand name the command maps to
    EditingCommand editing;     // for kind Editing
};

// nullptr for a number the control does not know.
const EditCommandInfo* FindEditCommand(std::int32_t decmd);

// 0 not supported, 1 disabled, 3 enabled, 7 latched (on), 11 indeterminate (mixed).
std::int32_t CommandStatusBits(bool supported, bool enabled, bool latched, bool indeterminate);

// The prompts of the editing commands that ask the user.
class EditDialogs {
public:
    virtual ~EditDialogs() = default;
    struct Font {
        std::string name;  // "" when unknown
        int size = 3;      // HTML size 1-7
        bool bold = false, italic = false, underline = false;
        std::string colour;  // "#rrggbb", "" for none
    };
    // Each returns false when the user cancels.
    virtual bool AskImageSource(std::string& source) = 0;  // a URL or a file path
    virtual bool AskLinkUrl(std::string& url) = 0;
    virtual bool AskFont(Font& font) = 0;
};

// ExecCommand of the editing control. option: 0 default, 1 prompt, 2 do not prompt (the
// prompting commands ask unless an in-value is given). *out receives the value of the reading
// commands: the font name and size as text (VT_NULL when the engine has none) and the text
// colour as "#rrggbb". OLECMDERR_E_NOTSUPPORTED for unknown numbers, E_ABORT when a prompt was
// cancelled, E_FAIL when there is no document.
com::HRESULT ExecuteEditCommand(DocumentEngine& engine, EditDialogs& dialogs, std::int32_t decmd, std::uint32_t option,
                                const com::Variant& in, com::Variant* out);
// QueryStatus of the editing control (DECMDF_*).
std::int32_t QueryEditCommand(DocumentEngine& engine, std::int32_t decmd);

}  // namespace ql::web
