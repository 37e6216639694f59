#pragma once
// Commands addressed to a document by number (IOleCommandTarget): the standard group (no
// group GUID) and the named groups the editing and browse code use.
#include "platform/core/com/ComBase.h"
#include "platform/core/com/Dispatch.h"

#include <cstdint>

namespace ql::com {

struct OLECMD {
    std::uint32_t cmdID = 0;
    std::uint32_t cmdf = 0;  // OLECMDF_* bits, filled by QueryStatus
};

inline constexpr std::uint32_t OLECMDF_SUPPORTED = 1;
inline constexpr std::uint32_t OLECMDF_ENABLED = 2;
inline constexpr std::uint32_t OLECMDF_LATCHED = 4;
inline constexpr std::uint32_t OLECMDF_NINCHED = 8;

// Standard group (no group GUID).
inline constexpr std::uint32_t OLECMDID_PRINT = 6;
inline constexpr std::uint32_t OLECMDID_CUT = 11;
inline constexpr std::uint32_t OLECMDID_COPY = 12;
inline constexpr std::uint32_t OLECMDID_PASTE = 13;
inline constexpr std::uint32_t OLECMDID_SELECTALL = 17;

inline constexpr std::uint32_t OLECMDEXECOPT_DODEFAULT = 0;
inline constexpr std::uint32_t OLECMDEXECOPT_PROMPTUSER = 1;
inline constexpr std::uint32_t OLECMDEXECOPT_DONTPROMPTUSER = 2;

inline constexpr HRESULT OLECMDERR_E_NOTSUPPORTED = static_cast<HRESULT>(0x80040100u);
inline constexpr HRESULT OLECMDERR_E_DISABLED = static_cast<HRESULT>(0x80040101u);
inline constexpr HRESULT OLECMDERR_E_UNKNOWNGROUP = static_cast<HRESULT>(0x80040104u);

// The browser's own group; command 1 opens its find dialog.
inline constexpr GUID CGID_WebBrowser{0xED016940, 0xBD5B, 0x11CF, {0xBA, 0x4E, 0x00, 0xC0, 0x4F, 0xD7, 0x08, 0x16}};
inline constexpr std::uint32_t WEBBROWSER_CMD_FIND = 1;

// The document's editing group and the command numbers the editor queries in it.
inline constexpr GUID CGID_MSHTML{0xDE4BA900, 0x59CA, 0x11CF, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr std::uint32_t IDM_JUSTIFYCENTER = 57;
inline constexpr std::uint32_t IDM_JUSTIFYRIGHT = 60;
inline constexpr std::uint32_t IDM_ORDERLIST = 2184;
inline constexpr std::uint32_t IDM_UNORDERLIST = 2185;

// The table-editing group of the editing control.
inline constexpr GUID CGID_TableEditing{0x2582F1C0, 0x084E, 0x11D1, {0x9A, 0x0E, 0x00, 0x60, 0x97, 0xC9, 0xB3, 0x44}};

class IOleCommandTarget : public IUnknown {
public:
    static constexpr IID IID_{0xB722BCCB, 0x4E68, 0x101B, {0xA2, 0xBC, 0x00, 0xAA, 0x00, 0x40, 0x47, 0x70}};
    // Fills cmdf of each of the `count` commands; group nullptr is the standard group.
    virtual HRESULT QueryStatus(const GUID* group, std::uint32_t count, OLECMD* commands) = 0;
    virtual HRESULT Exec(const GUID* group, std::uint32_t cmdId, std::uint32_t execOpt, Variant* in, Variant* out) = 0;
};

}  // namespace ql::com
