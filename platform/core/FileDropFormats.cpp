#include "platform/core/FileDropFormats.h"

#include <algorithm>

#include "platform/core/TextEncoding.h"

namespace ql {

namespace {

void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t GetU32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    return v;
}

constexpr std::size_t kHDropHeader = 20;

}  // namespace

std::vector<std::uint8_t> BuildHDrop(const std::vector<std::string>& paths)
{
    std::vector<std::uint8_t> b(kHDropHeader, 0);
    PutU32(b, 0, kHDropHeader);
    for (const std::string& p : paths) {
        // A NUL inside a name would split it into two entries.
        std::string clean = p.substr(0, p.find('\0'));
        b.insert(b.end(), clean.begin(), clean.end());
        b.push_back(0);
    }
    b.push_back(0);
    return b;
}

std::vector<std::string> ParseHDrop(const std::vector<std::uint8_t>& block)
{
    std::vector<std::string> out;
    if (block.size() < kHDropHeader)
        return out;
    std::size_t pos = GetU32(block, 0);
    bool wide = GetU32(block, 16) != 0;
    if (pos < kHDropHeader || pos > block.size())
        return out;
    if (!wide) {
        while (pos < block.size()) {
            auto begin = block.begin() + static_cast<std::ptrdiff_t>(pos);
            auto end = std::find(begin, block.end(), std::uint8_t{0});
            if (end == begin)
                break;
            out.emplace_back(begin, end);
            pos = static_cast<std::size_t>(end - block.begin()) + 1;
        }
        return out;
    }
    while (pos + 1 < block.size()) {
        std::size_t end = pos;
        while (end + 1 < block.size() && (block[end] | block[end + 1]) != 0)
            end += 2;
        if (end == pos)
            break;
        std::string units(reinterpret_cast<const char*>(block.data()) + pos, end - pos);
        out.push_back(Utf16ToUtf8(units, false));
        pos = end + 2;
    }
    return out;
}

std::vector<std::uint8_t> BuildFileGroupDescriptor(const std::string& fileName)
{
    std::vector<std::uint8_t> b(4 + kFileDescriptorSize, 0);
    PutU32(b, 0, 1);
    std::string name = Utf8PrefixBytes(fileName.substr(0, fileName.find('\0')), kFileDescriptorNameSize - 1);
    std::copy(name.begin(), name.end(), b.begin() + 4 + kFileDescriptorNameOffset);
    return b;
}

std::string FirstFileDescriptorName(const std::vector<std::uint8_t>& block)
{
    constexpr std::size_t start = 4 + kFileDescriptorNameOffset;
    if (block.size() <= start || GetU32(block, 0) == 0)
        return "";
    std::size_t limit = std::min(block.size(), start + kFileDescriptorNameSize);
    auto begin = block.begin() + start;
    auto end = std::find(begin, block.begin() + static_cast<std::ptrdiff_t>(limit), std::uint8_t{0});
    return std::string(begin, end);
}

std::string StripExtension(const std::string& name)
{
    std::size_t slash = name.find_last_of('/');
    std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = name.find_last_of('.');
    // A name that is all extension (".url" for a link without a title) leaves nothing.
    if (dot == std::string::npos || dot < base)
        return name;
    return name.substr(0, dot);
}

}  // namespace ql
