// Hand-over frames from a peer: a header that decodes with a valid body encodes back to the
// same bytes; replies are read without trusting their length.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CopyDataFrame.h"

using namespace ql;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(fuzz::Bytes(data, size));
    DecodeCopyDataReply(input);
    if (input.size() < kCopyDataHeaderSize)
        return 0;
    CopyDataMessage msg;
    std::string error;
    const std::optional<std::uint32_t> length = DecodeCopyDataHeader(input.data(), msg, &error);
    if (!length) {
        QL_FUZZ_CHECK(!error.empty());
        return 0;
    }
    QL_FUZZ_CHECK(*length > 0 && *length <= kCopyDataMaxBytes);
    if (input.size() - kCopyDataHeaderSize < *length)
        return 0;
    msg.data = input.substr(kCopyDataHeaderSize, *length);
    if (!CopyDataBodyValid(msg.data))
        return 0;
    const std::optional<std::string> frame = EncodeCopyDataFrame(msg);
    QL_FUZZ_CHECK(frame && *frame == input.substr(0, kCopyDataHeaderSize + *length));
    QL_FUZZ_CHECK(msg.Text().size() < msg.data.size());
    return 0;
}
