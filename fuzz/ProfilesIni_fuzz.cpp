// A Firefox "profiles.ini" as any program may have left it: the profile folders it names.
#include "fuzz/FuzzSupport.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"
#include "platform/core/UrlCache.h"

#include <algorithm>

using namespace ql;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string root = fuzz::CleanScratchDir();
    if (!WriteFileAtomic(root + "profiles.ini", std::string(fuzz::Bytes(data, size))))
        return 0;
    const std::vector<std::string> folders = FirefoxProfileFolders(IniFile(root + "profiles.ini", false), root);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const std::string& f = folders[i];
        QL_FUZZ_CHECK(!f.empty() && f.front() == '/' && f.back() == '/');
        QL_FUZZ_CHECK(std::find(folders.begin() + static_cast<long>(i) + 1, folders.end(), f) == folders.end());
    }
    return 0;
}
