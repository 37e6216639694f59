// A desktop entry's command line (from any application's .desktop file) turned into the
// argument list that opens a page with it.
#include "fuzz/FuzzSupport.h"
#include "platform/core/UrlText.h"
#include "platform/gui/DesktopApps.h"

#include <algorithm>

using namespace ql;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view exec = fuzz::Bytes(data, size);
    const std::string file = "/collection/page one.html";
    auto argv = ExecArgv(exec, file, "App");
    if (!argv)
        return 0;
    // The page is always passed, as a path or as its file URL.
    QL_FUZZ_CHECK(!argv->empty());
    QL_FUZZ_CHECK(std::find(argv->begin(), argv->end(), file) != argv->end() ||
                  std::find(argv->begin(), argv->end(), FilePathToUrl(file)) != argv->end());
    return 0;
}
