// Text, string, language, registry and hand-over helpers of VekBaseClass.
#include "foundation/VekBaseClass.h"

#include "platform/core/CopyDataTransport.h"
#include "platform/core/SafeFile.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace ql {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The locale that names the user's language: LC_ALL, then LC_MESSAGES, then LANG.
std::string localeName()
{
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* v = std::getenv(var); v && *v)
            return v;
    return "C";
}

}  // namespace

int PosNoCase(const std::string& sub, const std::string& text)
{
    if (sub.empty() || sub.size() > text.size())
        return 0;
    for (size_t i = 0; i + sub.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < sub.size() && lowerAscii(text[i + k]) == lowerAscii(sub[k]))
            ++k;
        if (k == sub.size())
            return static_cast<int>(i) + 1;
    }
    return 0;
}

std::string RemoveChars(const std::string& text, const std::string& chars)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (chars.find(c) == std::string::npos)
            out += c;
    return out;
}

std::string FileNameNoExt(const std::string& path)
{
    auto slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return name;
    // Cut at the first occurrence of the extension: "a.b.b" gives "a".
    return name.substr(0, name.find(name.substr(dot)));
}

std::string AppDir()
{
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "";
    std::string exe(buf, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

StringList SplitLines(std::string_view text)
{
    StringList lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLinesCrLf(const StringList& lines)
{
    std::size_t total = 0;
    for (const auto& l : lines)
        total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

bool SaveTextToFile(const std::string& text, const std::string& fileName)
{
    return WriteFileAtomic(fileName, JoinLinesCrLf(SplitLines(text)));
}

void LoadTextFromFile(const std::string& fileName, int index, std::string& text)
{
    text.clear();
    auto bytes = ReadFileBytes(fileName);
    if (!bytes)
        return;
    StringList lines = SplitLines(*bytes);
    if (index < 0)
        text = JoinLinesCrLf(lines);
    else if (static_cast<size_t>(index) < lines.size()) {
        text = lines[static_cast<size_t>(index)];
    }
}

bool SendCopyData(const std::string& className, const std::string& text, std::uint32_t dwData, std::uint64_t wParam)
{
    return SendCopyDataMessage(className, CopyDataMessage::FromText(text, dwData, wParam)) ==
           CopyDataResult::Delivered;
}

std::string SystemLanguageName() { return localeName(); }

bool IsChineseSystem()
{
    // "zh_CN", "zh_CN.UTF-8", "zh_CN.GB2312", "zh_CN@variant".
    std::string name = localeName();
    std::string base = name.substr(0, name.find_first_of(".@"));
    return base == "zh_CN";
}

bool WriteRegString(RegRoot root, const std::string& key, const std::string& name, const std::string& text)
{
    return Registry().WriteString(root, key, name, text);
}

std::string ReadRegString(RegRoot root, const std::string& key, const std::string& name)
{
    return Registry().ReadString(root, key, name).value_or("");
}

}  // namespace ql
