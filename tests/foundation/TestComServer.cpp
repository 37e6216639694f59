// A component library for the registration tests: each entry point appends its name to the file
// named by QL_TEST_COMSERVER_MARKER and fails (E_FAIL) while QL_TEST_COMSERVER_FAIL is set.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

std::int32_t record(const char* what)
{
    if (const char* marker = std::getenv("QL_TEST_COMSERVER_MARKER")) {
        if (std::FILE* f = std::fopen(marker, "a")) {
            std::fprintf(f, "%s\n", what);
            std::fclose(f);
        }
    }
    return std::getenv("QL_TEST_COMSERVER_FAIL") ? static_cast<std::int32_t>(0x80004005u) : 0;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) std::int32_t DllRegisterServer() { return record("register"); }
extern "C" __attribute__((visibility("default"))) std::int32_t DllUnregisterServer() { return record("unregister"); }
