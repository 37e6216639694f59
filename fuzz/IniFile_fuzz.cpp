// Ini files: any bytes are read; every section and key found reads back; a value written and
// saved is there after reading the file again.
#include "fuzz/FuzzSupport.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"

using namespace ql;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::CleanScratchDir() + "fuzz.ini";
    if (!WriteFileAtomic(path, std::string(fuzz::Bytes(data, size))))
        return 0;
    IniFile ini(path, false);
    for (const std::string& section : ini.ReadSections()) {
        QL_FUZZ_CHECK(ini.SectionExists(section));
        for (const std::string& key : ini.ReadSection(section)) {
            QL_FUZZ_CHECK(ini.ValueExists(section, key));
            ini.ReadInteger(section, key, 0);
        }
    }
    if (!ini.WriteString("Fuzz Section", "Fuzz Key", "fuzz value") || !ini.UpdateFile())
        return 0;
    IniFile reread(path, false);
    QL_FUZZ_CHECK(reread.ReadString("fuzz section", "FUZZ KEY", "") == "fuzz value");
    return 0;
}
