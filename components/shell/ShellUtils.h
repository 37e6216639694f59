#pragma once
// The toolbox every shell control shares: item-id-list arithmetic, paths and special folders,
// display names, shell links, drive re-validation, and the text helpers the controls use.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/com/DataObject.h"
#include "platform/core/shell/ShellFolder.h"

namespace ql::shellctl {

using com::ComPtr;
using com::HRESULT;
using shell::IdListPtr;
using shell::IShellFolder;
using shell::ItemIdList;
using shell::ULONG;

// The environment facts the controls test, fixed at their most capable values (IsWinNT true,
// common controls 6.0): the header sort arrow, the link overlays and tree tool tips are always
// on. The thresholds are the versions each of them needs.
struct TComCtlVersion {
    std::uint32_t dwFileVersionLS = 0;
    std::uint32_t dwFileVersionMS = 0;
};
inline constexpr TComCtlVersion ComCtlVersion{0, 6u << 16};
inline constexpr bool IsWinNT() { return true; }
inline constexpr std::uint32_t kComCtlSortArrow = 0x40046;
inline constexpr std::uint32_t kComCtlOverlays = 0x40047;
inline constexpr std::uint32_t kComCtlTreeToolTips = 0x40048;

enum TSvDisplayNameKind { svdnNormal, svdnInFolder, svdnForParsing };
com::DWORD DisplayNameFlags(TSvDisplayNameKind kind);

// Item-id lists. nullptr is nil; the empty list is the desktop.
std::size_t IdListSize(const ItemIdList* list);                              // 0 for nil
IdListPtr CopyIdList(const ItemIdList* list);                                // nil gives a new empty list
IdListPtr ConcatIdLists(const ItemIdList* first, const ItemIdList* second);  // nil when too long
// 0 for two nils or two empty lists, -1 when exactly one is nil or empty, else the desktop's
// CompareIDs; 0x7FFFFFFF when that fails. Not a strict order over nil and empty lists: sorts
// use the folders' own comparison.
int CompareIdLists(const ItemIdList* a, const ItemIdList* b);
inline constexpr int kCompareFailed = 0x7FFFFFFF;

// Folders and paths.
HRESULT GetShellFolder(const ItemIdList* absolute, ComPtr<IShellFolder>& folder);
HRESULT PathToIdList(const std::string& path, IdListPtr& list);
std::string IdListToPath(const ItemIdList* list);
std::string GetSpecialFolderPath(int csidl);
HRESULT GetSpecialFolderIdList(int csidl, IdListPtr& list);  // csidl masked to 0x7F
// A display name; with no folder the desktop's. "" when the folder cannot name the item.
std::string GetDisplayName(IShellFolder* folder, const ItemIdList& relative, TSvDisplayNameKind kind);
// The text of a display-name record; an offset is read within the item's list only.
std::string StrRetToString(const ItemIdList* item, const shell::STRRET& strret);

// Shell links: on this desktop a symbolic link is the link, its target the linked item.
struct TLinkFindData {
    std::string fileName;
    std::uint64_t size = 0;
    bool directory = false;
    std::int64_t lastWriteTime = 0;  // seconds since 1970
};
struct TLinkData {
    std::string Path;
    std::uint8_t Valid = 0;  // 0x3F once every field was read
    std::string Description;
    std::string Arguments;
    std::string IconLocation;
    std::int32_t IconIndex = 0;
    std::string WorkingDirectory;
    std::int32_t ShowCmd = 0;
    std::uint16_t HotKey = 0;
    std::uint8_t ResolveMode = 0;  // input: 0 normal, 1 without user interface (links never ask)
    IdListPtr IdList;
    TLinkFindData FindData;
};
inline constexpr int SW_SHOWNORMAL = 1;
// Fills the record from the link at `fileName`; a file that is no link, or a link whose target
// is gone, fails and leaves the record as it was.
HRESULT ReadShellLink(const std::string& fileName, TLinkData& data, bool wantIdList);

// Drives. RevalidateDrives asks Computer to re-read its volumes unless a refresh is running.
void RevalidateDrives();
void BeginDriveRefresh();
void EndDriveRefresh();
int DriveRefreshCount();

// Text helpers. In UTF-8 no byte of a multi-byte character equals an ASCII character, so the
// trailing-character rule needs no lead/trail-byte check.
std::string IncludeTrailingChar(const std::string& text, char ch);
// Appends the whole character at the 1-based `position` and advances past it.
void AppendMbcsChar(std::size_t& position, const std::string& source, std::string& destination);

}  // namespace ql::shellctl
