// The tree-file pair: "tvframe" and "tvdata" from the input (split at the first NUL), loaded,
// saved and loaded again. What was loaded must come back: the same shape, captions and page ids.
#include "app/collection/TreeFiles.h"
#include "app/collection/TreeText.h"
#include "fuzz/FuzzSupport.h"
#include "platform/core/SafeFile.h"

#include <vector>

using namespace ql;

namespace {

std::vector<std::string> PageIds(const CollectionTree& tree)
{
    std::vector<std::string> ids;
    tree.ForEach([&](TreeNode& n) { ids.push_back(n.PageId()); });
    return ids;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = fuzz::Bytes(data, size);
    const std::size_t nul = input.find('\0');
    const std::string dir = fuzz::CleanScratchDir();
    if (!WriteFileAtomic(dir + kTreeFrameFile, std::string(input.substr(0, nul))) ||
        !WriteFileAtomic(dir + kTreeDataFile,
                         nul == std::string_view::npos ? std::string() : std::string(input.substr(nul + 1))))
        return 0;

    std::uint32_t counter = 0;
    RandomSource random = [&counter] { return counter++ % 100000; };
    CollectionTree tree;
    if (LoadTreeFiles(dir, tree, random).result != TreeLoad::Loaded)
        return 0;
    const std::string text = TreeToText(tree);
    const std::vector<std::string> ids = PageIds(tree);
    if (SaveTreeFiles(dir, tree, random) != TreeSave::Saved)
        return 0;

    CollectionTree again;
    QL_FUZZ_CHECK(LoadTreeFiles(dir, again, random).result == TreeLoad::Loaded);
    QL_FUZZ_CHECK(TreeToText(again) == text);
    QL_FUZZ_CHECK(PageIds(again) == ids);
    return 0;
}
