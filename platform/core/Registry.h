#pragma once
// The per-user registry: a tree of keys holding typed values (string, DWORD, binary) under two
// roots, kept in one text file ("registry" in ConfigDir()). Key paths use '\' between names;
// a leading '\' is optional. Key and value names compare without regard to ASCII case and keep
// the spelling they were created with; the empty value name is the key's default value.
//
// The program and the capture extension (two processes) share the file: every change takes an
// exclusive lock (flock on "registry.lock" beside it), rereads the file, changes it and saves it
// atomically; reads take a shared lock and reread when the file changed.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ql {

enum class RegRoot { CurrentUser, ClassesRoot };
enum class RegType { String, DWord, Binary };

class Registry {
public:
    // The store at `storeFile` (its folder must exist); "" gives a store on which every change
    // fails and every read finds nothing.
    explicit Registry(std::string storeFile = DefaultStoreFile());
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // ConfigDir() + "registry", or "" when there is no configuration folder.
    static std::string DefaultStoreFile();

    // Changes: false when the key path is not valid or the store could not be saved.
    [[nodiscard]] bool CreateKey(RegRoot root, const std::string& key);  // with its missing parents
    [[nodiscard]] bool DeleteKey(RegRoot root, const std::string& key);  // with everything below it
    [[nodiscard]] bool WriteString(RegRoot root, const std::string& key, const std::string& name,
                                   const std::string& text);
    [[nodiscard]] bool WriteDWord(RegRoot root, const std::string& key, const std::string& name, std::uint32_t value);
    [[nodiscard]] bool WriteBinary(RegRoot root, const std::string& key, const std::string& name,
                                   const std::string& bytes);
    [[nodiscard]] bool DeleteValue(RegRoot root, const std::string& key, const std::string& name);  // false when absent

    // Reads. A missing key or value, or a value of another type, gives nullopt.
    bool KeyExists(RegRoot root, const std::string& key) const;
    bool ValueExists(RegRoot root, const std::string& key, const std::string& name) const;
    std::optional<RegType> ValueType(RegRoot root, const std::string& key, const std::string& name) const;
    std::optional<std::string> ReadString(RegRoot root, const std::string& key, const std::string& name) const;
    std::optional<std::uint32_t> ReadDWord(RegRoot root, const std::string& key, const std::string& name) const;
    std::optional<std::string> ReadBinary(RegRoot root, const std::string& key, const std::string& name) const;
    std::vector<std::string> SubKeyNames(RegRoot root, const std::string& key) const;  // sorted
    std::vector<std::string> ValueNames(RegRoot root, const std::string& key) const;   // in store order

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace ql
