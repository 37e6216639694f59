// Item-id lists from another process: a list that passes the walk is rebuilt from its items to
// the same bytes, and every way of taking it apart stays inside it.
#include "fuzz/FuzzSupport.h"
#include "platform/core/shell/ItemIdList.h"

using namespace ql;
using shell::ItemIdList;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<ItemIdList> list = ItemIdList::FromBytes(data, size);
    if (!list)
        return 0;
    QL_FUZZ_CHECK(list->Size() <= size && list->Size() >= 2);
    std::vector<std::string_view> items;
    for (std::size_t i = 0; i < list->ItemCount(); ++i) {
        items.push_back(list->ItemData(i));
        QL_FUZZ_CHECK(list->Item(i).has_value());
    }
    QL_FUZZ_CHECK(!list->Item(list->ItemCount()).has_value());
    const std::optional<ItemIdList> rebuilt = ItemIdList::FromItems(items);
    QL_FUZZ_CHECK(rebuilt && *rebuilt == *list);
    QL_FUZZ_CHECK(ItemIdList::Compare(*rebuilt, *list) == 0);
    for (std::size_t levels = 0; levels <= list->ItemCount(); ++levels) {
        const std::optional<ItemIdList> ancestor = list->Ancestor(levels);
        QL_FUZZ_CHECK(ancestor && ancestor->ItemCount() == list->ItemCount() - levels);
    }
    list->LastItem();
    if (const std::optional<ItemIdList> twice = ItemIdList::Join(*list, *list))
        QL_FUZZ_CHECK(twice->ItemCount() == 2 * list->ItemCount());
    return 0;
}
