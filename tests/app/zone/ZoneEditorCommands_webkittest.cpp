// The drop zone with the program's own editor window: the editor's Options and About show the
// zone's dialogs, and its Exit runs the zone's exit, which saves the editor's state and writes
// "gleanhoard.ini".
#include "app/dialogs/TAboutForm_wx.h"
#include "app/dialogs/TSetForm_wx.h"
#include "app/editor/EditorForm_wx.h"
#include "app/editor/session/UnattendedDialogs.h"
#include "app/zone/EditorFormZone_wx.h"
#include "app/zone/TPlinderDragZoneForm_wx.h"
#include "foundation/VekCollectClass.h"
#include "platform/core/IniFile.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/timer.h>
#include <wx/treectrl.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ql::test {
namespace {

class ZoneEditorCommandsTest : public ::testing::Test {
protected:
    ScopedXdgEnv xdg;
    TempDir temp;
    UnattendedDialogs editorBoxes{nullptr};
    OwnedFrame<TPlinderDragZoneForm> zone;
    OwnedFrame<TEditorForm> editor;

    void SetUp() override
    {
        for (const char* name : {"One", "Two"})
            temp.write(std::string("Collection/") + name + ".html",
                       std::string("<html><body>") + name + "</body></html>\r\n");
        temp.write("Collection/tvframe", "One\r\nTwo\r\n");
        temp.write("Collection/tvdata", "One\r\nTwo\r\n");
        LoadSettings(temp.dir() + "quillory");
        Settings.showDragForm = true;
        ZoneFormOptions options;
        options.editorFactory = EditorFormFactory(CollectionContext{Settings, ClipSourceUrl, ImagesIni.get()},
                                                  editorBoxes);
        options.saveSettings = [] { return SaveSettings(); };
        zone.reset(new TPlinderDragZoneForm(Settings, std::move(options)));
        zone->Start();
        // "Show/Hide Main Window" makes the editor and shows it.
        zone->Controller().Image1DblClick();
        TEditorForm* made = nullptr;
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* form = dynamic_cast<TEditorForm*>(w))
                made = form;
        editor.reset(made);
        ASSERT_TRUE(editor);
        ASSERT_TRUE(PumpUntil([&] { return editor->IsShownOnScreen() && editor->Tree().Selected(); }));
    }
    void TearDown() override
    {
        zone.reset();
        editor.reset();
        (void)SaveSettings();  // clears what an unfinished test left loaded
    }
    // Runs `command` and closes the first of the zone's dialogs it shows modally; that dialog.
    wxDialog* ModalDialogOf(void (TEditorForm::*command)())
    {
        wxDialog* shown = nullptr;
        wxTimer poll;
        poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            for (wxDialog* d : {static_cast<wxDialog*>(zone->SetForm()), static_cast<wxDialog*>(zone->AboutForm())})
                if (!shown && d->IsModal()) {
                    shown = d;
                    d->EndModal(wxID_CANCEL);
                }
        });
        poll.Start(20);
        (editor->*command)();
        PumpUntil([&] { return shown && !shown->IsModal(); }, 5000);
        poll.Stop();
        return shown;
    }
};

TEST_F(ZoneEditorCommandsTest, TheEditorsOptionsAboutAndExitAreTheZones)
{
    EXPECT_EQ(ModalDialogOf(&TEditorForm::Options1Click), zone->SetForm());
    EXPECT_EQ(ModalDialogOf(&TEditorForm::About1Click), zone->AboutForm());
    EXPECT_FALSE(zone->Controller().Exiting());

    // The state written at exit is the editor's at that moment.
    wxTreeItemIdValue cookie;
    editor->TV->GetFirstChild(editor->TV->GetRootItem(), cookie);
    editor->TV->SelectItem(editor->TV->GetNextChild(editor->TV->GetRootItem(), cookie));
    ASSERT_EQ(editor->Tree().Selected()->Text(), "Two");
    editor->ToolButton17Click(kViewHtml);
    const wxPoint at = zone->GetPosition();
    const std::string iniFile = temp.dir() + "gleanhoard.ini";
    ASSERT_FALSE(std::filesystem::exists(iniFile));
    editor->Exit1Click();
    ASSERT_TRUE(PumpUntil([&] { return zone->Controller().Exiting() && std::filesystem::exists(iniFile); }, 5000));
    EXPECT_FALSE(zone->IsShown());
    EXPECT_FALSE(zone->HandOverListening());
    IniFile ini(iniFile, false);
    EXPECT_EQ(ini.ReadInteger("set", "ActiveTabIndex", -1), kViewHtml);
    EXPECT_EQ(ini.ReadInteger("set", "DragZoneLeft", -1), at.x);
    EXPECT_EQ(ini.ReadInteger("set", "DragZoneTop", -1), at.y);
    EXPECT_EQ(ini.ReadInteger("set", "LastNode", -1), 1);
}

}  // namespace
}  // namespace ql::test
