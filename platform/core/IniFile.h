#pragma once
// Private-profile ("ini") files: [section] headers and key=value lines. Section and key names
// compare without regard to ASCII case; values are trimmed of blanks. Sections and keys the
// program does not know survive a save. Files are written with CR LF line ends, atomically.
#include <memory>
#include <string>
#include <vector>

namespace ql {

class IniFile {
public:
    // Opens `path`: reads it when it exists; never creates the file or its folder. With
    // `writeThrough`, every Write*/Delete*/Erase* saves the file at once (the behaviour of an
    // open profile object); otherwise changes stay in memory until UpdateFile().
    explicit IniFile(std::string path, bool writeThrough = true);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const std::string& FileName() const;

    // A missing or unreadable value yields `def`. Integers are decimal or "0x" hexadecimal;
    // Booleans are non-zero integers.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // Write results are false when a write-through save failed (the change stays in memory), and
    // for names or values the file could not give back: a line break anywhere, a section with ']',
    // a key with '=' or starting with '[' or ';'. Values are stored trimmed.
    [[nodiscard]] bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    [[nodiscard]] bool WriteInteger(const std::string& section, const std::string& key, int value);
    [[nodiscard]] bool WriteBool(const std::string& section, const std::string& key, bool value);  // "1" / "0"

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> ReadSection(const std::string& section) const;  // the keys, in file order
    std::vector<std::string> ReadSections() const;                           // in file order
    [[nodiscard]] bool DeleteKey(const std::string& section, const std::string& key);
    [[nodiscard]] bool EraseSection(const std::string& section);

    // Saves atomically; false (old file intact) on failure. A file that exists but could not be
    // read is never overwritten. An open write-through object rereads the file when it changed
    // on disk, as a private profile does.
    [[nodiscard]] bool UpdateFile();

    // Holds back the saves of a write-through object while it lives, so that several changes
    // cost one save: Commit saves them (and so does the end of the batch, for what Commit did
    // not save). Meanwhile the object does not reread the file, so nothing held back is lost.
    // A null file makes a batch that does nothing.
    class Batch {
    public:
        explicit Batch(IniFile* file);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // False when the save failed (the changes stay in memory).
        [[nodiscard]] bool Commit();

    private:
        IniFile* file_;
    };

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace ql
