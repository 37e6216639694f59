#pragma once
// The values our shell namespace exchanges with its callers: attribute bits, enumeration and
// display-name flags, special-folder numbers, the display-name record, and result codes for
// failed file-system calls. Our own declarations, numbered as the shell controls expect them.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/com/ComBase.h"
#include "platform/core/shell/ItemIdList.h"

namespace ql::shell {

using com::DWORD;
using com::HRESULT;
using com::ULONG;

// An owned item-id list; nullptr is the nil list (which is not the desktop: the desktop is the
// empty list). Lists are values, so "allocating" and "freeing" a list is making and dropping
// one of these; an allocator never has to be passed along.
using IdListPtr = std::unique_ptr<ItemIdList>;

// Attribute bits (GetAttributesOf).
inline constexpr ULONG SFGAO_CANCOPY = 0x1;
inline constexpr ULONG SFGAO_CANMOVE = 0x2;
inline constexpr ULONG SFGAO_CANLINK = 0x4;
inline constexpr ULONG SFGAO_CANRENAME = 0x10;
inline constexpr ULONG SFGAO_CANDELETE = 0x20;
inline constexpr ULONG SFGAO_DROPTARGET = 0x100;
inline constexpr ULONG SFGAO_CAPABILITYMASK = 0x177;
inline constexpr ULONG SFGAO_LINK = 0x10000;
inline constexpr ULONG SFGAO_SHARE = 0x20000;
inline constexpr ULONG SFGAO_READONLY = 0x40000;
inline constexpr ULONG SFGAO_GHOSTED = 0x80000;
inline constexpr ULONG SFGAO_HIDDEN = 0x80000;
inline constexpr ULONG SFGAO_VALIDATE = 0x01000000;
inline constexpr ULONG SFGAO_REMOVABLE = 0x02000000;
inline constexpr ULONG SFGAO_FILESYSANCESTOR = 0x10000000;
inline constexpr ULONG SFGAO_FOLDER = 0x20000000;
inline constexpr ULONG SFGAO_FILESYSTEM = 0x40000000;
inline constexpr ULONG SFGAO_HASSUBFOLDER = 0x80000000;

// EnumObjects flags.
inline constexpr DWORD SHCONTF_FOLDERS = 0x20;
inline constexpr DWORD SHCONTF_NONFOLDERS = 0x40;
inline constexpr DWORD SHCONTF_INCLUDEHIDDEN = 0x80;

// Display-name kinds (GetDisplayNameOf, SetNameOf).
inline constexpr DWORD SHGDN_NORMAL = 0;
inline constexpr DWORD SHGDN_INFOLDER = 1;
inline constexpr DWORD SHGDN_FORPARSING = 0x8000;

// Special folders. Only these are known here; Send To has no counterpart on this desktop.
inline constexpr int CSIDL_DESKTOP = 0x00;
inline constexpr int CSIDL_PERSONAL = 0x05;
inline constexpr int CSIDL_SENDTO = 0x09;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 0x10;
inline constexpr int CSIDL_DRIVES = 0x11;

// Columns of CompareIDs (the low 16 bits of its first argument).
enum ShellColumn : int { kColumnName = 0, kColumnSize = 1, kColumnType = 2, kColumnModified = 3 };

// A display name as a folder returns it.
inline constexpr unsigned STRRET_WSTR = 0;
inline constexpr unsigned STRRET_OFFSET = 1;
inline constexpr unsigned STRRET_CSTR = 2;
struct STRRET {
    unsigned uType = STRRET_CSTR;
    std::u16string pOleStr;     // STRRET_WSTR
    std::uint32_t uOffset = 0;  // STRRET_OFFSET: byte offset into the item's list
    std::string cStr;           // STRRET_CSTR: UTF-8 (file names keep their bytes)
};

// Results of file-system calls: facility 7 with the errno value in the low word, so a failure
// says what went wrong (ErrorText turns it back into words).
inline constexpr HRESULT kFacilityErrno = 7;
HRESULT HResultFromErrno(int err);
// The errno value a result carries; 0 when it is not one of ours.
int ErrnoOfHResult(HRESULT hr);
// The system's message for a result: the errno text for ours, else "Error 0x........".
std::string ErrorText(HRESULT hr);

// A success code carrying a signed 16-bit comparison result, as CompareIDs returns it.
inline HRESULT ResultFromShort(int value)
{
    return static_cast<HRESULT>(static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
}
inline int ShortFromResult(HRESULT hr) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(hr & 0xFFFF)); }

}  // namespace ql::shell
