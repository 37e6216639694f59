#include "platform/core/RegistryText.h"

#include "platform/core/AsciiCase.h"
#include "platform/core/HexDigits.h"

namespace ql {

namespace {

const char* const kRootNames[2] = {"HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT"};

int rootIndex(RegRoot root) { return root == RegRoot::CurrentUser ? 0 : 1; }

bool sameName(const std::string& a, const std::string& b) { return FoldRegistryName(a) == FoldRegistryName(b); }

const char kHex[] = "0123456789abcdef";

std::string quote(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                out += "\\x";
                out += kHex[c >> 4];
                out += kHex[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

// Parses a quoted text starting at line[pos] == '"'; pos ends after the closing quote.
std::optional<std::string> unquote(const std::string& line, size_t& pos)
{
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    std::string out;
    for (size_t i = pos + 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= line.size())
            return std::nullopt;
        switch (line[i]) {
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x': {
            if (i + 2 >= line.size())
                return std::nullopt;
            int hi = HexDigitValue(line[i + 1]), lo = HexDigitValue(line[i + 2]);
            if (hi < 0 || lo < 0)
                return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;  // no closing quote
}

std::optional<RegistryValue> parseValueLine(const std::string& line)
{
    RegistryValue v;
    size_t pos = 0;
    if (line[0] == '@') {
        pos = 1;
    } else {
        auto name = unquote(line, pos);
        if (!name)
            return std::nullopt;
        v.name = *name;
    }
    if (pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    ++pos;
    std::string rest = line.substr(pos);
    if (!rest.empty() && rest[0] == '"') {
        size_t p = 0;
        auto text = unquote(rest, p);
        if (!text || p != rest.size())
            return std::nullopt;
        v.type = RegType::String;
        v.data = *text;
        return v;
    }
    if (rest.compare(0, 6, "dword:") == 0) {
        std::string digits = rest.substr(6);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        std::uint32_t n = 0;
        for (char c : digits) {
            int d = HexDigitValue(c);
            if (d < 0)
                return std::nullopt;
            n = (n << 4) | static_cast<std::uint32_t>(d);
        }
        v.type = RegType::DWord;
        v.data = DWordBytes(n);
        return v;
    }
    if (rest.compare(0, 4, "hex:") == 0) {
        v.type = RegType::Binary;
        std::string body = rest.substr(4);
        for (size_t i = 0; i < body.size();) {
            if (i + 1 >= body.size())
                return std::nullopt;
            int hi = HexDigitValue(body[i]), lo = HexDigitValue(body[i + 1]);
            if (hi < 0 || lo < 0)
                return std::nullopt;
            v.data += static_cast<char>(hi * 16 + lo);
            i += 2;
            if (i < body.size()) {
                if (body[i] != ',' || i + 1 >= body.size())
                    return std::nullopt;
                ++i;
            }
        }
        return v;
    }
    return std::nullopt;
}

}  // namespace

const RegistryValue* RegistryKey::Get(const std::string& name) const
{
    for (const auto& v : values)
        if (sameName(v.name, name))
            return &v;
    return nullptr;
}

void RegistryKey::Set(const std::string& name, RegType type, std::string data)
{
    for (auto& v : values) {
        if (sameName(v.name, name)) {
            v.type = type;
            v.data = std::move(data);
            return;
        }
    }
    values.push_back(RegistryValue{name, type, std::move(data)});
}

bool RegistryKey::Erase(const std::string& name)
{
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (sameName(it->name, name)) {
            values.erase(it);
            return true;
        }
    }
    return false;
}

RegistryTree::RegistryTree()
{
    keys_[0][""] = RegistryKey{};
    keys_[1][""] = RegistryKey{};
}

RegistryKey* RegistryTree::Find(RegRoot root, const std::string& path)
{
    auto& keys = keys_[rootIndex(root)];
    auto it = keys.find(FoldRegistryName(path));
    return it == keys.end() ? nullptr : &it->second;
}

RegistryKey& RegistryTree::CreateKey(RegRoot root, const std::string& path)
{
    auto& keys = keys_[rootIndex(root)];
    size_t from = 0;
    RegistryKey* key = &keys[""];
    while (from < path.size()) {
        size_t sep = path.find('\\', from);
        std::string prefix = path.substr(0, sep);
        auto [it, added] = keys.try_emplace(FoldRegistryName(prefix));
        if (added)
            it->second.path = prefix;
        key = &it->second;
        if (sep == std::string::npos)
            break;
        from = sep + 1;
    }
    return *key;
}

bool RegistryTree::DeleteKey(RegRoot root, const std::string& path)
{
    if (path.empty())
        return false;
    auto& keys = keys_[rootIndex(root)];
    std::string folded = FoldRegistryName(path);
    auto it = keys.find(folded);
    if (it == keys.end())
        return false;
    keys.erase(it);
    // Children are not adjacent to their parent: siblings such as "Foo2" or "Foo.bak" sort
    // between "Foo" and "Foo\\child", so the children are looked up by their own prefix.
    std::string prefix = folded + "\\";
    it = keys.lower_bound(prefix);
    while (it != keys.end() && it->first.compare(0, prefix.size(), prefix) == 0)
        it = keys.erase(it);
    return true;
}

std::vector<std::string> RegistryTree::SubKeyNames(RegRoot root, const std::string& path) const
{
    const auto& keys = keys_[rootIndex(root)];
    std::vector<std::string> names;
    std::string prefix = path.empty() ? std::string() : FoldRegistryName(path) + "\\";
    if (!path.empty() && !keys.count(FoldRegistryName(path)))
        return names;
    for (auto it = keys.lower_bound(prefix); it != keys.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it) {
        if (it->first.size() == prefix.size() || it->first.find('\\', prefix.size()) != std::string::npos)
            continue;
        names.push_back(it->second.path.substr(prefix.size()));
    }
    return names;
}

const std::map<std::string, RegistryKey>& RegistryTree::Keys(RegRoot root) const { return keys_[rootIndex(root)]; }

std::optional<std::string> NormaliseRegistryPath(const std::string& key)
{
    size_t b = 0, e = key.size();
    if (b < e && key[b] == '\\')
        ++b;
    if (e > b && key[e - 1] == '\\')
        --e;
    std::string path = key.substr(b, e - b);
    if (path.empty())
        return path;
    bool atStart = true;
    for (char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return std::nullopt;
        if (c == '\\') {
            if (atStart)
                return std::nullopt;
            atStart = true;
        } else {
            atStart = false;
        }
    }
    return path;
}

std::string FoldRegistryName(const std::string& name) { return LowerAscii(name); }

RegistryTree ParseRegistryText(const std::string& text)
{
    RegistryTree tree;
    RegistryKey* current = nullptr;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            current = nullptr;
            if (line.back() != ']')
                continue;
            std::string inner = line.substr(1, line.size() - 2);
            size_t sep = inner.find('\\');
            std::string rootName = FoldRegistryName(inner.substr(0, sep));
            std::string rest = sep == std::string::npos ? std::string() : inner.substr(sep + 1);
            auto path = NormaliseRegistryPath(rest);
            if (!path || (sep != std::string::npos && path->empty()))
                continue;
            for (int r = 0; r < 2; ++r)
                if (rootName == FoldRegistryName(kRootNames[r]))
                    current = &tree.CreateKey(r == 0 ? RegRoot::CurrentUser : RegRoot::ClassesRoot, *path);
            continue;
        }
        if (!current || (line[0] != '@' && line[0] != '"'))
            continue;
        if (auto v = parseValueLine(line))
            current->Set(v->name, v->type, std::move(v->data));
    }
    return tree;
}

std::string FormatRegistryText(const RegistryTree& tree)
{
    std::string out = "; Quillory registry store. Edit only while Quillory is not running.\n";
    for (int r = 0; r < 2; ++r) {
        for (const auto& [folded, key] : tree.Keys(r == 0 ? RegRoot::CurrentUser : RegRoot::ClassesRoot)) {
            if (key.path.empty() && key.values.empty())
                continue;
            out += "\n[";
            out += kRootNames[r];
            if (!key.path.empty())
                out += "\\" + key.path;
            out += "]\n";
            for (const auto& v : key.values) {
                out += v.name.empty() ? std::string("@") : quote(v.name);
                out += '=';
                switch (v.type) {
                case RegType::String:
                    out += quote(v.data);
                    break;
                case RegType::DWord: {
                    std::uint32_t n = DWordOf(v.data);
                    out += "dword:";
                    for (int shift = 28; shift >= 0; shift -= 4)
                        out += kHex[(n >> shift) & 15];
                    break;
                }
                case RegType::Binary:
                    out += "hex:";
                    for (size_t i = 0; i < v.data.size(); ++i) {
                        if (i)
                            out += ',';
                        auto c = static_cast<unsigned char>(v.data[i]);
                        out += kHex[c >> 4];
                        out += kHex[c & 15];
                    }
                    break;
                }
                out += '\n';
            }
        }
    }
    return out;
}

std::string DWordBytes(std::uint32_t value)
{
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
    return b;
}

std::uint32_t DWordOf(const std::string& bytes)
{
    if (bytes.size() != 4)
        return 0;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
    return v;
}

}  // namespace ql
