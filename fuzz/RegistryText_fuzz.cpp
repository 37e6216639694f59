// The registry store's text: whatever parses is written back in a form that parses to the
// same store.
#include "fuzz/FuzzSupport.h"
#include "platform/core/RegistryText.h"

using namespace ql;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const RegistryTree tree = ParseRegistryText(std::string(fuzz::Bytes(data, size)));
    const std::string text = FormatRegistryText(tree);
    QL_FUZZ_CHECK(FormatRegistryText(ParseRegistryText(text)) == text);
    return 0;
}
