#include <gtest/gtest.h>

#include "components/shell/CommandShortcuts.h"

using namespace ql::shellctl;

namespace {

TEST(CommandShortcuts, CodesAndTexts)
{
    EXPECT_EQ(ShortCutToText(0x4041), "Ctrl+A");
    EXPECT_EQ(ShortCutToText(0x2E), "Del");
    EXPECT_EQ(ShortCutToText(0x74), "F5");
    EXPECT_EQ(ShortCutToText(0x6041), "Shift+Ctrl+A");
    EXPECT_EQ(ShortCutToText(0x13), "#19");
    EXPECT_EQ(ShortCutToText(0x4013), "Ctrl+#16403");
    EXPECT_EQ(ShortCutToText(0x63), "3");
    EXPECT_EQ(ShortCutToText(0x87), "F24");
    EXPECT_EQ(ShortCutToText(0x28), "Down");

    EXPECT_EQ(TextToShortCut("ctrl+a"), 0x4041);
    EXPECT_EQ(TextToShortCut("^C"), 0x4043);
    EXPECT_EQ(TextToShortCut("Alt+Shift+F2"), 0xA071);
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("Ctrl+Entf"), 0);
    EXPECT_EQ(TextToShortCut(""), 0);
    EXPECT_EQ(TextToShortCut("pgdn"), 0x22);
    // Texts of codes past the byte range parse to those codes.
    EXPECT_EQ(TextToShortCut("#300"), 300);
    for (TShortCut code : {0x08, 0x41, 0x2D, 0x70, 0x4030, 0x2020, 0xA026})
        EXPECT_EQ(TextToShortCut(ShortCutToText(code)), code) << code;
}

TEST(CommandShortcuts, TableIsParsedOnceAndUnknownTextsGiveNoKey)
{
    LoadCommandShortcutTexts();
    auto& table = CommandShortcuts();
    EXPECT_EQ(table[0].keyText, "Ctrl+A");
    EXPECT_EQ(table[6].keyText, "F2");
    table[1].keyText = "Entf";  // a translation no key text spells
    EXPECT_EQ(CommandShortcutParseCount(), 0);
    EnsureCommandShortcuts();
    EnsureCommandShortcuts();
    EXPECT_EQ(CommandShortcutParseCount(), 1);
    EXPECT_EQ(table[0].code, 0x4041);
    EXPECT_EQ(table[1].code, 0);
    EXPECT_EQ(table[2].code, 0x4043);
    EXPECT_EQ(table[3].code, 0x4058);
    EXPECT_EQ(table[4].code, 0x4056);
    EXPECT_EQ(table[5].code, 0x74);
    EXPECT_EQ(table[6].code, 0x71);
    EXPECT_EQ(table[5].command, ShellCommand::Refresh);
}

}  // namespace
