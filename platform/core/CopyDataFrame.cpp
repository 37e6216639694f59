#include "platform/core/CopyDataFrame.h"

namespace ql {

namespace {

constexpr std::uint32_t kRequestMagic = 0x44434C51;  // "QLCD"
constexpr std::uint32_t kReplyMagic = 0x52434C51;    // "QLCR"

void put(std::string& out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xff);
}

std::uint64_t get(const char* p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

}  // namespace

std::string CopyDataMessage::Text() const { return data.substr(0, data.find('\0')); }

CopyDataMessage CopyDataMessage::FromText(const std::string& text, std::uint32_t dwData, std::uint64_t wParam)
{
    CopyDataMessage m;
    m.dwData = dwData;
    m.wParam = wParam;
    m.data = text;
    m.data += '\0';
    return m;
}

std::optional<std::string> EncodeCopyDataFrame(const CopyDataMessage& msg)
{
    if (!CopyDataBodyValid(msg.data))
        return std::nullopt;
    std::string out;
    out.reserve(kCopyDataHeaderSize + msg.data.size());
    put(out, kRequestMagic, 4);
    put(out, msg.dwData, 4);
    put(out, msg.wParam, 8);
    put(out, msg.data.size(), 4);
    out += msg.data;
    return out;
}

std::optional<std::uint32_t> DecodeCopyDataHeader(const char* header, CopyDataMessage& msg, std::string* error)
{
    auto fail = [&](const char* why) -> std::optional<std::uint32_t> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (get(header, 4) != kRequestMagic)
        return fail("not a hand-over frame");
    auto cbData = static_cast<std::uint32_t>(get(header + 16, 4));
    if (cbData == 0)
        return fail("empty hand-over frame");
    if (cbData > kCopyDataMaxBytes)
        return fail("hand-over frame too large");
    msg.dwData = static_cast<std::uint32_t>(get(header + 4, 4));
    msg.wParam = get(header + 8, 8);
    return cbData;
}

bool CopyDataBodyValid(const std::string& data)
{
    return !data.empty() && data.size() <= kCopyDataMaxBytes && data.back() == '\0';
}

std::string EncodeCopyDataReply(std::int64_t result)
{
    std::string out;
    put(out, kReplyMagic, 4);
    put(out, static_cast<std::uint64_t>(result), 8);
    return out;
}

std::optional<std::int64_t> DecodeCopyDataReply(const std::string& bytes)
{
    if (bytes.size() != kCopyDataReplySize || get(bytes.data(), 4) != kReplyMagic)
        return std::nullopt;
    return static_cast<std::int64_t>(get(bytes.data() + 4, 8));
}

}  // namespace ql
