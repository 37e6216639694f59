#include "components/browserhost/WebHostOptions.h"

#include <cfenv>

namespace ql {

const std::uint32_t DownloadControlFlagValues[19] = {
    0x10,   0x20,   0x40,    0x80,    0x100,   0x200,      0x400,      0x800,      0x1000,     0x2000,
    0x4000, 0x8000, 0x10000, 0x20000, 0x40000, 0x10000000, 0x20000000, 0x40000000, 0x80000000,
};

const std::uint32_t HostUIFlagValues[17] = {
    0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100, 0x200, 0x400, 0x800, 0x1000, 0x2000, 0x4000, 0x10000, 0x20000,
};

namespace {

// The sum of the flag values of the members in the set.
template <class E, std::size_t N>
std::uint32_t FlagsOf(const OptionSet<E, N>& options, const std::uint32_t (&values)[N])
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < N; ++i)
        if (options.Contains(static_cast<E>(i)))
            sum += values[i];
    return sum;
}

}  // namespace

std::uint32_t DownloadControlFlagsOf(const TDownloadControlOptions& options)
{
    return FlagsOf(options, DownloadControlFlagValues);
}

std::uint32_t HostUIFlagsOf(const TUserInterfaceOptions& options) { return FlagsOf(options, HostUIFlagValues); }

web::WebEngineSettings EngineSettingsFor(std::uint32_t dl, std::uint32_t ui)
{
    web::WebEngineSettings s;
    s.loadImages = (dl & DLCTL_DLIMAGES_FLAG) != 0;
    s.media = (dl & DLCTL_VIDEOS_FLAG) != 0;
    s.pageScripts = (dl & DLCTL_NO_SCRIPTS_FLAG) == 0;
    s.textSelection = (ui & DOCHOSTUIFLAG_DIALOG_FLAG) == 0;
    s.scrollbars = (ui & DOCHOSTUIFLAG_SCROLL_NO_FLAG) == 0;
    s.linksOpenExternally = (ui & DOCHOSTUIFLAG_OPENNEWWIN_FLAG) != 0;
    return s;
}

#if defined(__x86_64__) || defined(__i386__)
std::uint16_t ReadFpuControlWord()
{
    std::uint16_t w = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(w));
    return w;
}

void WriteFpuControlWord(std::uint16_t word)
{
    std::uint16_t w = MaskedControlWord(word);
    __asm__ __volatile__("fldcw %0" : : "m"(w));
}
#else
// Without an x87 unit the word reads as the all-masked default, and writing it makes sure no
// floating-point trap is enabled.
std::uint16_t ReadFpuControlWord() { return 0x037F; }
void WriteFpuControlWord(std::uint16_t) { fedisableexcept(FE_ALL_EXCEPT); }
#endif

const std::uint16_t SavedFPUControlWord = ReadFpuControlWord();

namespace {
struct RestoreControlWordAtExit {
    ~RestoreControlWordAtExit() { WriteFpuControlWord(SavedFPUControlWord); }
} restoreControlWordAtExit;
}  // namespace

}  // namespace ql
