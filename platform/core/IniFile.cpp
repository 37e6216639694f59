#include "platform/core/IniFile.h"

#include "platform/core/AsciiCase.h"
#include "platform/core/HexDigits.h"
#include "platform/core/SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <optional>
#include <sys/stat.h>
#include <unordered_map>

namespace ql {

namespace {

// Larger files are taken as unreadable (and then never overwritten).
constexpr std::uint64_t kMaxIniBytes = 256ull << 20;

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool hasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// Decimal with an optional sign, or "0x" hexadecimal of up to eight digits (read as the
// 32-bit pattern, so "0xFFFFFFFF" is -1). Anything else is unreadable.
std::optional<int> parseInteger(const std::string& text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t v = 0;
        size_t digits = text.size() - 2;
        if (digits > 8)
            return std::nullopt;
        for (size_t i = 2; i < text.size(); ++i) {
            int d = HexDigitValue(text[i]);
            if (d < 0)
                return std::nullopt;
            v = (v << 4) | static_cast<std::uint32_t>(d);
        }
        return static_cast<int>(static_cast<std::int32_t>(v));
    }
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<std::int64_t>(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v < INT_MIN || v > INT_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

// One line of the file. Entry lines carry their parsed key and value; every other line
// (comments, blank lines, text without '=') is kept as it stands.
struct Line {
    std::string raw;
    bool entry = false;
    std::string key;
    std::string value;
};

struct Section {
    std::string name;  // as spelled in the header
    std::string headerRaw;
    std::vector<Line> lines;
    // The section as saved, kept until its lines change: a large file of small sections is
    // saved again at the cost of one copy.
    std::string text;
    bool textValid = false;

    const std::string& Text()
    {
        if (!textValid) {
            std::size_t size = headerRaw.size() + 2;
            for (const auto& l : lines)
                size += l.raw.size() + 2;
            text.clear();
            text.reserve(size);
            text += headerRaw;
            text += "\r\n";
            for (const auto& l : lines) {
                text += l.raw;
                text += "\r\n";
            }
            textValid = true;
        }
        return text;
    }
};

struct FileStamp {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const std::string& path)
{
    FileStamp s;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        s.exists = true;
        s.dev = st.st_dev;
        s.ino = st.st_ino;
        s.size = st.st_size;
        s.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    return s;
}

}  // namespace

struct IniFile::Impl {
    std::string path;
    bool writeThrough = true;
    // The file began with a UTF-8 byte-order mark. It is not part of the first line, and it is
    // written back: a second mark after it keeps a header on that line from counting.
    bool byteOrderMark = false;
    std::vector<Line> preamble;  // lines before the first section header
    std::vector<Section> sections;
    // The first section of each name (lower case): a large file's sections are found at once.
    std::unordered_map<std::string, std::size_t> sectionIndex;
    // The file exists but could not be read: saving would destroy what we could not see.
    bool unreadable = false;
    FileStamp stamp;
    int batches = 0;        // open Batch objects: write-through saves are held back
    bool heldBack = false;  // changes made meanwhile, not saved yet

    void indexSections()
    {
        sectionIndex.clear();
        for (std::size_t i = 0; i < sections.size(); ++i)
            sectionIndex.emplace(LowerAscii(sections[i].name), i);
    }

    void parse(const std::string& bytes)
    {
        preamble.clear();
        sections.clear();
        size_t pos = 0;
        byteOrderMark = bytes.compare(0, 3, kByteOrderMark) == 0;
        if (byteOrderMark)
            pos = 3;
        std::vector<Line>* target = &preamble;
        while (pos < bytes.size()) {
            size_t end = bytes.find_first_of("\r\n", pos);
            std::string raw = bytes.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
            if (end == std::string::npos)
                pos = bytes.size();
            else if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n')
                pos = end + 2;
            else
                pos = end + 1;

            std::string t = trim(raw);
            if (!t.empty() && t.front() == '[') {
                auto close = t.find(']');
                if (close != std::string::npos) {
                    sections.push_back(Section{trim(t.substr(1, close - 1)), raw, {}, {}, false});
                    target = &sections.back().lines;
                    continue;
                }
            }
            Line line;
            line.raw = raw;
            if (!t.empty() && t.front() != ';') {
                auto eq = t.find('=');
                if (eq != std::string::npos && eq > 0) {
                    std::string key = trim(t.substr(0, eq));
                    if (!key.empty()) {
                        line.entry = true;
                        line.key = key;
                        line.value = trim(t.substr(eq + 1));
                    }
                }
            }
            target->push_back(std::move(line));
        }
        indexSections();
    }

    void load()
    {
        stamp = stampOf(path);
        unreadable = false;
        byteOrderMark = false;
        if (!stamp.exists) {
            preamble.clear();
            sections.clear();
            sectionIndex.clear();
            return;
        }
        auto bytes = ReadFileBytes(path, kMaxIniBytes);
        if (!bytes) {
            unreadable = true;
            preamble.clear();
            sections.clear();
            sectionIndex.clear();
            return;
        }
        parse(*bytes);
    }

    // An open profile sees changes that others made to the file since it last looked.
    void refresh()
    {
        if (writeThrough && !heldBack && !(stampOf(path) == stamp))
            load();
    }

    std::string serialise()
    {
        std::size_t size = 3;
        for (const auto& l : preamble)
            size += l.raw.size() + 2;
        for (auto& s : sections)
            size += s.Text().size();
        std::string out;
        out.reserve(size);
        if (byteOrderMark)
            out += kByteOrderMark;
        for (const auto& l : preamble) {
            out += l.raw;
            out += "\r\n";
        }
        for (auto& s : sections)
            out += s.Text();
        return out;
    }

    bool save()
    {
        if (unreadable || path.empty())
            return false;
        if (!WriteFileAtomic(path, serialise()))
            return false;
        stamp = stampOf(path);
        heldBack = false;
        return true;
    }

    bool changed()
    {
        if (!writeThrough)
            return true;
        if (batches > 0) {
            heldBack = true;
            return true;
        }
        return save();
    }

    Section* findSection(const std::string& name)
    {
        auto it = sectionIndex.find(LowerAscii(name));
        return it == sectionIndex.end() ? nullptr : &sections[it->second];
    }

    Section& addSection(const std::string& name)
    {
        sections.push_back(Section{name, "[" + name + "]", {}, {}, false});
        sectionIndex.emplace(LowerAscii(name), sections.size() - 1);
        return sections.back();
    }

    static Line* findEntry(Section& s, const std::string& key)
    {
        for (auto& l : s.lines)
            if (l.entry && EqualsNoCase(l.key, key))
                return &l;
        return nullptr;
    }
};

IniFile::IniFile(std::string path, bool writeThrough) : d_(std::make_unique<Impl>())
{
    d_->path = std::move(path);
    d_->writeThrough = writeThrough;
    d_->load();
}

IniFile::~IniFile() = default;

const std::string& IniFile::FileName() const { return d_->path; }

std::string IniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    d_->refresh();
    Section* s = d_->findSection(section);
    if (!s)
        return def;
    Line* l = Impl::findEntry(*s, key);
    return l ? l->value : def;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    auto v = parseInteger(ReadString(section, key, ""));
    return v ? *v : def;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    std::string sec = trim(section), k = trim(key), v = trim(value);
    // Names and values that the file could not give back as written are refused.
    if (sec.empty() || k.empty() || hasLineBreak(sec) || sec.find(']') != std::string::npos || hasLineBreak(k) ||
        k.find('=') != std::string::npos || k.front() == '[' || k.front() == ';' || hasLineBreak(v))
        return false;
    d_->refresh();
    Section* s = d_->findSection(sec);
    if (!s)
        s = &d_->addSection(sec);
    s->textValid = false;
    if (Line* l = Impl::findEntry(*s, k)) {
        l->value = v;
        l->raw = l->key + "=" + v;
    } else {
        // New keys go right after the section's last entry (before trailing blank lines and
        // comments); in a section without entries, before its trailing blank lines.
        size_t at = s->lines.size();
        while (at > 0 && !s->lines[at - 1].entry)
            --at;
        if (at == 0) {
            at = s->lines.size();
            while (at > 0 && trim(s->lines[at - 1].raw).empty())
                --at;
        }
        Line line;
        line.raw = k + "=" + v;
        line.entry = true;
        line.key = k;
        line.value = v;
        s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    }
    return d_->changed();
}

bool IniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    return WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(const std::string& section) const
{
    d_->refresh();
    return d_->findSection(section) != nullptr;
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const
{
    d_->refresh();
    Section* s = d_->findSection(section);
    return s && Impl::findEntry(*s, key);
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const
{
    d_->refresh();
    std::vector<std::string> keys;
    if (Section* s = d_->findSection(section))
        for (const auto& l : s->lines)
            if (l.entry)
                keys.push_back(l.key);
    return keys;
}

std::vector<std::string> IniFile::ReadSections() const
{
    d_->refresh();
    std::vector<std::string> names;
    for (const auto& s : d_->sections)
        names.push_back(s.name);
    return names;
}

bool IniFile::DeleteKey(const std::string& section, const std::string& key)
{
    d_->refresh();
    Section* s = d_->findSection(section);
    if (!s)
        return true;
    bool removed = false;
    s->textValid = false;
    for (auto it = s->lines.begin(); it != s->lines.end();) {
        if (it->entry && EqualsNoCase(it->key, key)) {
            it = s->lines.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    return removed ? d_->changed() : true;
}

bool IniFile::EraseSection(const std::string& section)
{
    d_->refresh();
    bool removed = false;
    for (auto it = d_->sections.begin(); it != d_->sections.end();) {
        if (EqualsNoCase(it->name, section)) {
            it = d_->sections.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    if (!removed)
        return true;
    d_->indexSections();
    return d_->changed();
}

bool IniFile::UpdateFile() { return d_->save(); }

IniFile::Batch::Batch(IniFile* file) : file_(file)
{
    if (file_)
        ++file_->d_->batches;
}

IniFile::Batch::~Batch()
{
    if (!file_)
        return;
    Impl& d = *file_->d_;
    if (--d.batches == 0 && d.heldBack)
        d.save();  // a failure keeps the changes in memory for the next save
}

bool IniFile::Batch::Commit()
{
    if (!file_ || !file_->d_->heldBack)
        return true;
    return file_->d_->save();
}

}  // namespace ql
