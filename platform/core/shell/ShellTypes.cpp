#include "platform/core/shell/ShellTypes.h"

#include <cstdio>
#include <cstring>

namespace ql::shell {

HRESULT HResultFromErrno(int err)
{
    if (err == 0)
        return com::S_OK;
    return static_cast<HRESULT>(0x80000000u | (static_cast<std::uint32_t>(kFacilityErrno) << 16) |
                                (static_cast<std::uint32_t>(err) & 0xFFFF));
}

int ErrnoOfHResult(HRESULT hr)
{
    auto u = static_cast<std::uint32_t>(hr);
    if ((u & 0xFFFF0000u) != (0x80000000u | (static_cast<std::uint32_t>(kFacilityErrno) << 16)))
        return 0;
    return static_cast<int>(u & 0xFFFF);
}

std::string ErrorText(HRESULT hr)
{
    if (int err = ErrnoOfHResult(hr))
        return std::strerror(err);
    char buf[32];
    std::snprintf(buf, sizeof buf, "Error 0x%08X", static_cast<unsigned>(hr));
    return buf;
}

}  // namespace ql::shell
