#include "components/browserhost/WebHostOptions.h"

#include <gtest/gtest.h>

namespace ql {
namespace {

using D = TDownloadControlOption;
using U = TUserInterfaceOption;

TEST(WebHostFlags, SumsOfTheOptionSets)
{
    EXPECT_EQ(DownloadControlFlagsOf({}), 0u);
    EXPECT_EQ(HostUIFlagsOf({}), 0u);
    // The browse view's sets.
    EXPECT_EQ(DownloadControlFlagsOf({D::DLCTL_DLIMAGES, D::DLCTL_VIDEOS, D::DLCTL_NO_SCRIPTS, D::DLCTL_NO_JAVA,
                                      D::DLCTL_NO_RUNACTIVEXCTLS, D::DLCTL_NO_DLACTIVEXCTLS, D::DLCTL_SILENT,
                                      D::DLCTL_OFFLINE}),
              0xC00007B0u);
    EXPECT_EQ(HostUIFlagsOf({U::OPENNEWWIN, U::ENABLE_FORMS_AUTOCOMPLETE}), 0x4020u);
    // The constructor's default.
    EXPECT_EQ(DownloadControlFlagsOf({D::DLCTL_DLIMAGES, D::DLCTL_VIDEOS, D::DLCTL_BGSOUNDS}), 0x70u);
    EXPECT_EQ(DownloadControlFlagsOf({D::DLCTL_FORCEOFFLINE, D::DLCTL_NO_CLIENTPULL}), 0x30000000u);
    EXPECT_EQ(HostUIFlagsOf({U::ENABLE_INPLACE_NAVIGATION, U::IME_ENABLE_RECONVERSION, U::DIALOG}), 0x30001u);
}

TEST(WebHostFlags, EveryMemberHasItsOwnBit)
{
    std::uint32_t all = 0;
    for (std::size_t i = 0; i < 19; ++i) {
        TDownloadControlOptions one{static_cast<D>(i)};
        std::uint32_t v = DownloadControlFlagsOf(one);
        EXPECT_EQ(v & (v - 1), 0u) << i;
        EXPECT_EQ(all & v, 0u) << i;
        all |= v;
    }
    EXPECT_EQ(all, 0xF007FFF0u);
    all = 0;
    for (std::size_t i = 0; i < 17; ++i) {
        std::uint32_t v = HostUIFlagsOf(TUserInterfaceOptions{static_cast<U>(i)});
        EXPECT_EQ(all & v, 0u) << i;
        all |= v;
    }
    EXPECT_EQ(all & 0x8000u, 0u);  // no member has 0x8000
    EXPECT_EQ(all, 0x37FFFu);
}

TEST(WebHostFlags, WhatTheBrowseViewsFlagsMakeOfTheEngine)
{
    web::WebEngineSettings s = EngineSettingsFor(0xC00007B0u, 0x4020u);
    EXPECT_FALSE(s.pageScripts);
    EXPECT_TRUE(s.loadImages);
    EXPECT_TRUE(s.media);
    EXPECT_TRUE(s.linksOpenExternally);
    EXPECT_TRUE(s.textSelection);
    EXPECT_TRUE(s.scrollbars);

    web::WebEngineSettings none = EngineSettingsFor(0, 0);
    EXPECT_TRUE(none.pageScripts);
    EXPECT_FALSE(none.loadImages);
    EXPECT_FALSE(none.media);
    EXPECT_FALSE(none.linksOpenExternally);
    web::WebEngineSettings dialog = EngineSettingsFor(0x70, 0x1 | 0x8);
    EXPECT_FALSE(dialog.textSelection);
    EXPECT_FALSE(dialog.scrollbars);
}

TEST(FpuControlWord, ExceptionsStayMaskedWhateverIsWritten)
{
    const std::uint16_t before = ReadFpuControlWord();
    EXPECT_EQ(MaskedControlWord(0x1300), 0x133F);
    WriteFpuControlWord(0x1300);  // asks for all six traps
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(ReadFpuControlWord() & 0x3F, 0x3F);
    EXPECT_EQ(ReadFpuControlWord() & 0x1F00, 0x1300);
#endif
    WriteFpuControlWord(before);
    EXPECT_EQ(ReadFpuControlWord(), MaskedControlWord(before));
    EXPECT_EQ(SavedFPUControlWord & 0x3F, 0x3F);  // the program starts masked
}

}  // namespace
}  // namespace ql
