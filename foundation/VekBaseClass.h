#pragma once
// File, folder and text helpers shared by the program and the capture extension. Texts and
// paths are UTF-8; folders are given and returned with a trailing '/'. Failure is reported
// through the result (false, -1 or an empty text). SetTopMost and IsKeyDown: VekBaseClass_wx.h.
#include "platform/core/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ql {

using StringList = std::vector<std::string>;

// Windows-style masks: '*' and '?' match any run / any one character, case-sensitively as on
// Linux; a mask ending in ".*" also matches names without a dot, so "*.*" matches every name.
// Listings are sorted by name. Links to folders are not folders: never listed or entered.
void ListFiles(const std::string& folder, const std::string& mask, StringList& list, bool withExt);
void ListFolders(const std::string& folder, const std::string& mask, StringList& list, bool includeRoot,
                 bool noRecursion, bool namesOnly);

int PosNoCase(const std::string& sub, const std::string& text);  // 1-based, 0 when absent
std::string RemoveChars(const std::string& text, const std::string& chars);
std::string FileNameNoExt(const std::string& path);

// Deletes a folder tree; never follows symbolic links, refuses "" and "/". Files that cannot be
// deleted, and read-only files (no owner write permission), stay with their folder chain.
void DeleteFolderTree(const std::string& folder);
std::int64_t GetFileSize(const std::string& fileName);  // -1 when missing, 0 for a folder
// Last write time as days since 30 December 1899 (local time), the fraction the time of day;
// 0 when the file is missing.
double GetFileDateTime(const std::string& fileName);
// The folder of the running executable, with a trailing '/'.
std::string AppDir();

// Lines split at CR LF, CR or LF; a break at the very end starts no further line.
StringList SplitLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinLinesCrLf(const StringList& lines);

// Writes the text with every line break (CR LF, CR or LF) made CR LF, atomically.
[[nodiscard]] bool SaveTextToFile(const std::string& text, const std::string& fileName);
// index < 0: every line followed by CR LF; otherwise the 0-based line or "".
void LoadTextFromFile(const std::string& fileName, int index, std::string& text);

// Sends `text` plus a NUL (cbData = bytes + 1) to the window of class `className` over the
// hand-over transport (CopyDataTransport.h) and waits for its reply, kept in `reply` when given;
// false when no such window listens, the text is longer than the transport allows, or no reply
// came in time.
bool SendCopyData(const std::string& className, const std::string& text, std::uint32_t dwData, std::uint64_t wParam,
                  std::int64_t* reply = nullptr);

// The locale that names the user's language (LC_ALL, else LC_MESSAGES, else LANG; "C" when
// none is set), such as "zh_CN.UTF-8".
std::string SystemLanguageName();
bool IsChineseSystem();  // that locale is Chinese as used in the PRC (zh_CN)

// String values of the per-user registry store (Registry.h). Roots: HKEY_CURRENT_USER,
// HKEY_CLASSES_ROOT. Writing creates the key; reading a missing key or value, or a value that
// is not a string, gives "". An empty name is the key's default value.
[[nodiscard]] bool WriteRegString(RegRoot root, const std::string& key, const std::string& name,
                                  const std::string& text);
std::string ReadRegString(RegRoot root, const std::string& key, const std::string& name);

}  // namespace ql
