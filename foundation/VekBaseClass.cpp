// String, path and language helpers of VekBaseClass.
#include "foundation/VekBaseClass.h"

#include "platform/core/AsciiCase.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace ql {

namespace {

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
        while (k < sub.size() && LowerAscii(text[i + k]) == LowerAscii(sub[k]))
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

std::string SystemLanguageName() { return localeName(); }

bool IsChineseSystem()
{
    // "zh_CN", "zh_CN.UTF-8", "zh_CN.GB2312", "zh_CN@variant".
    std::string name = localeName();
    std::string base = name.substr(0, name.find_first_of(".@"));
    return base == "zh_CN";
}

}  // namespace ql
