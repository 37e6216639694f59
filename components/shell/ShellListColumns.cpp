#include "components/shell/ShellListColumns.h"

#include <algorithm>
#include <cstring>

#include "components/shell/ShConsts.h"
#include "platform/core/Registry.h"

namespace ql::shellctl {

namespace {
std::uint16_t Word(const SavedColumns& c, std::size_t index)
{
    return static_cast<std::uint16_t>(c.bytes[2 * index] | (c.bytes[2 * index + 1] << 8));
}
std::int32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    return static_cast<std::int32_t>(v);
}
void Put32(std::vector<std::uint8_t>& b, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
}  // namespace

SavedColumns ReadDirectoryCols(const Registry* registry)
{
    SavedColumns c;
    const std::uint16_t defaults[] = {200, 60, 100, 120, 50};
    for (std::size_t i = 0; i < 5; ++i) {
        c.bytes[2 * i] = static_cast<std::uint8_t>(defaults[i]);
        c.bytes[2 * i + 1] = static_cast<std::uint8_t>(defaults[i] >> 8);
    }
    c.count = 10;
    if (!registry)
        return c;
    auto value = registry->ReadBinary(RegRoot::CurrentUser, kExplorerKey, kDirectoryColsValue);
    if (value && value->size() <= c.bytes.size()) {
        std::memcpy(c.bytes.data(), value->data(), value->size());
        c.count = static_cast<std::uint32_t>(value->size());
    }
    return c;
}

std::vector<ListColumn> BuildDefaultColumns(const SavedColumns& read, SavedColumns& saved,
                                            const std::vector<std::uint8_t>& cache)
{
    std::vector<ListColumn> columns{
        {LoadShConst(ShConst::SColumnName), 0, ColumnAlign::Left},
        {LoadShConst(ShConst::SColumnSize), 0, ColumnAlign::Right},
        {LoadShConst(ShConst::SColumnType), 0, ColumnAlign::Left},
        {LoadShConst(ShConst::SColumnModified), 0, ColumnAlign::Left},
    };
    const bool unchanged = saved.count != 0 && saved.count == read.count &&
                           std::equal(saved.bytes.begin(), saved.bytes.begin() + (read.count / 2) * 2,
                                      read.bytes.begin());
    for (std::size_t i = 0; i < columns.size(); ++i)
        columns[i].width = Word(read, i);
    if (unchanged && !cache.empty())
        RestoreColumnWidths(cache, columns);
    saved = read;
    return columns;
}

void SaveColumnWidths(const std::vector<int>& widths, std::vector<std::uint8_t>& cache)
{
    cache.clear();
    Put32(cache, static_cast<std::int32_t>(widths.size()));
    for (int w : widths)
        Put32(cache, w);
}

void RestoreColumnWidths(const std::vector<std::uint8_t>& cache, std::vector<ListColumn>& columns)
{
    if (cache.size() < 4)
        return;
    const std::int32_t n = Get32(cache, 0);
    for (std::size_t i = 0; static_cast<std::int64_t>(i) < n && i < columns.size(); ++i) {
        const std::size_t at = 4 + 4 * i;
        if (at + 4 > cache.size())
            break;
        columns[i].width = Get32(cache, at);
    }
}

}  // namespace ql::shellctl
