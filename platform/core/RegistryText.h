#pragma once
// The registry store in memory and its text form:
//
//   [HKEY_CURRENT_USER\Software\Tessaly\Pouchly]
//   "exe"="/opt/quillory/quillory"
//   @="the default value"
//   "Left"=dword:00000014
//   "Bin"=hex:01,ff
//
// Quoted texts escape \\, \", \n, \r, \t and other control bytes as \xHH. Lines that do not
// parse are skipped, so a damaged store still yields what is readable.
#include "platform/core/Registry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ql {

struct RegistryValue {
    std::string name;
    RegType type = RegType::String;
    std::string data;  // text, 4 little-endian bytes for a DWORD, or raw bytes
};

struct RegistryKey {
    std::string path;  // as first spelled, names joined by '\'; "" is the root
    std::vector<RegistryValue> values;

    const RegistryValue* Get(const std::string& name) const;
    void Set(const std::string& name, RegType type, std::string data);
    bool Erase(const std::string& name);
};

class RegistryTree {
public:
    RegistryTree();
    // `path` must be normalised (NormaliseRegistryPath).
    RegistryKey* Find(RegRoot root, const std::string& path);
    RegistryKey& CreateKey(RegRoot root, const std::string& path);
    bool DeleteKey(RegRoot root, const std::string& path);
    std::vector<std::string> SubKeyNames(RegRoot root, const std::string& path) const;
    // Keys by folded path, so parents come before their children.
    const std::map<std::string, RegistryKey>& Keys(RegRoot root) const;

private:
    std::map<std::string, RegistryKey> keys_[2];
};

// "\Software\X\" -> "Software\X"; nullopt for an empty name inside the path or a control byte.
std::optional<std::string> NormaliseRegistryPath(const std::string& key);
std::string FoldRegistryName(const std::string& name);

RegistryTree ParseRegistryText(const std::string& text);
std::string FormatRegistryText(const RegistryTree& tree);

std::string DWordBytes(std::uint32_t value);
std::uint32_t DWordOf(const std::string& bytes);  // 0 unless exactly four bytes

}  // namespace ql
