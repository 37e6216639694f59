#pragma once
// Shared by the fuzz targets: a scratch folder of the process's own, an in-memory file for the
// readers that take a descriptor, and the check that turns a broken invariant into a crash the
// fuzzer reports.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace ql::fuzz {

#define QL_FUZZ_CHECK(cond)                                                                                            \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #cond);                          \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// An empty folder below $TMPDIR (or /dev/shm, or /tmp), made once per process and emptied on every call;
// ends with '/'.
std::string CleanScratchDir();

// A file descriptor holding exactly `bytes`, read position at 0; -1 on failure. Close it.
int MemoryFile(std::string_view bytes);

}  // namespace ql::fuzz
