#pragma once
// The browser host's two option sets, the flag words they add up to, what those flags make
// of the engine, and the floating-point control word the host manages.
#include "platform/gui/WebEngineSettings.h"

#include <bitset>
#include <cstdint>
#include <initializer_list>

namespace ql {

// A set of enumeration members by ordinal.
template <class E, std::size_t N>
class OptionSet {
public:
    OptionSet() = default;
    OptionSet(std::initializer_list<E> members)
    {
        for (E m : members)
            Include(m);
    }
    void Include(E m) { bits_.set(static_cast<std::size_t>(m)); }
    void Exclude(E m) { bits_.reset(static_cast<std::size_t>(m)); }
    bool Contains(E m) const { return bits_.test(static_cast<std::size_t>(m)); }
    bool Empty() const { return bits_.none(); }
    friend bool operator==(const OptionSet&, const OptionSet&) = default;
    static constexpr std::size_t Count = N;

private:
    std::bitset<N> bits_;
};

enum class TDownloadControlOption {
    DLCTL_DLIMAGES,
    DLCTL_VIDEOS,
    DLCTL_BGSOUNDS,
    DLCTL_NO_SCRIPTS,
    DLCTL_NO_JAVA,
    DLCTL_NO_RUNACTIVEXCTLS,
    DLCTL_NO_DLACTIVEXCTLS,
    DLCTL_DOWNLOADONLY,
    DLCTL_NO_FRAMEDOWNLOAD,
    DLCTL_RESYNCHRONIZE,
    DLCTL_PRAGMA_NO_CACHE,
    DLCTL_NO_BEHAVIORS,
    DLCTL_NO_METACHARSET,
    DLCTL_URL_ENCODING_DISABLE_UTF8,
    DLCTL_URL_ENCODING_ENABLE_UTF8,
    DLCTL_FORCEOFFLINE,
    DLCTL_NO_CLIENTPULL,
    DLCTL_SILENT,
    DLCTL_OFFLINE,
};
using TDownloadControlOptions = OptionSet<TDownloadControlOption, 19>;

enum class TUserInterfaceOption {
    DIALOG,
    DISABLE_HELP_MENU,
    NO3DBORDER,
    SCROLL_NO,
    DISABLE_SCRIPT_INACTIVE,
    OPENNEWWIN,
    DISABLE_OFFSCREEN,
    FLAT_SCROLLBAR,
    DIV_BLOCKDEFAULT,
    ACTIVATE_CLIENTHIT_ONLY,
    OVERRIDEBEHAVIORFACTORY,
    CODEPAGELINKEDFONTS,
    URL_ENCODING_DISABLE_UTF8,
    URL_ENCODING_ENABLE_UTF8,
    ENABLE_FORMS_AUTOCOMPLETE,
    ENABLE_INPLACE_NAVIGATION,
    IME_ENABLE_RECONVERSION,
};
using TUserInterfaceOptions = OptionSet<TUserInterfaceOption, 17>;

// The flag value of each member, by ordinal.
extern const std::uint32_t DownloadControlFlagValues[19];
extern const std::uint32_t HostUIFlagValues[17];

// The sum of the flag values of the members; 0 for the empty set.
std::uint32_t DownloadControlFlagsOf(const TDownloadControlOptions& options);
std::uint32_t HostUIFlagsOf(const TUserInterfaceOptions& options);

// Flags with an effect on this engine. The others have no counterpart in it (no Java, no
// plug-ins or controls to run or fetch, no behaviours, no frame-only or offline modes, no
// background sounds, encoding and cache modes of their own).
inline constexpr std::uint32_t DLCTL_DLIMAGES_FLAG = 0x10;
inline constexpr std::uint32_t DLCTL_VIDEOS_FLAG = 0x20;
inline constexpr std::uint32_t DLCTL_NO_SCRIPTS_FLAG = 0x80;
inline constexpr std::uint32_t DOCHOSTUIFLAG_DIALOG_FLAG = 0x1;
inline constexpr std::uint32_t DOCHOSTUIFLAG_SCROLL_NO_FLAG = 0x8;
inline constexpr std::uint32_t DOCHOSTUIFLAG_OPENNEWWIN_FLAG = 0x20;

// What the download-control and host user-interface flags make of the engine.
web::WebEngineSettings EngineSettingsFor(std::uint32_t downloadControlFlags, std::uint32_t hostUIFlags);

// The x87 control word of the calling thread. Setting it always keeps every exception masked:
// the toolkit and the engine run on this thread and are not written to survive a trap.
std::uint16_t ReadFpuControlWord();
void WriteFpuControlWord(std::uint16_t word);
// `word` with all six exception-mask bits set.
constexpr std::uint16_t MaskedControlWord(std::uint16_t word) { return static_cast<std::uint16_t>(word | 0x3F); }

// The control word in force when the program started; restored (masked) when it ends.
extern const std::uint16_t SavedFPUControlWord;
// The word the host sets while floating-point exceptions are off: all masked, 64-bit
// mantissa, rounding to nearest.
inline constexpr std::uint16_t MaskedFpuControlWord = 0x133F;

}  // namespace ql
