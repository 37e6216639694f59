#include "platform/core/ClipboardFormats.h"

#include "platform/core/AsciiCase.h"

#include <map>
#include <mutex>
#include <vector>

namespace ql {

namespace {

struct FormatTable {
    std::mutex lock;
    std::map<std::string, std::uint32_t> byKey;  // lower-cased name -> number
    std::vector<std::string> names;              // number - kFirstRegisteredFormat -> first spelling
};

FormatTable& Table()
{
    static FormatTable table;
    return table;
}

}  // namespace

std::uint32_t RegisterClipboardFormat(const std::string& name)
{
    if (name.empty())
        return 0;
    FormatTable& t = Table();
    std::string key = LowerAscii(name);
    std::lock_guard<std::mutex> guard(t.lock);
    if (auto it = t.byKey.find(key); it != t.byKey.end())
        return it->second;
    if (t.names.size() > kLastRegisteredFormat - kFirstRegisteredFormat)
        return 0;
    auto id = static_cast<std::uint32_t>(kFirstRegisteredFormat + t.names.size());
    t.names.push_back(name);
    t.byKey.emplace(std::move(key), id);
    return id;
}

std::string GetClipboardFormatName(std::uint32_t format)
{
    switch (format) {
    case CF_TEXT:
        return "CF_TEXT";
    case CF_DIB:
        return "CF_DIB";
    case CF_HDROP:
        return "CF_HDROP";
    default:
        break;
    }
    if (format < kFirstRegisteredFormat)
        return "";
    FormatTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    std::size_t index = format - kFirstRegisteredFormat;
    return index < t.names.size() ? t.names[index] : std::string();
}

}  // namespace ql
