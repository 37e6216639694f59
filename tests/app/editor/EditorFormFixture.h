#pragma once
// The editor window opened on a temporary collection of three pages ("One", "Two", "Three"),
// with recording dialogs, launcher and clock; the window tests share it.
#include "app/editor/EditorForm_wx.h"
#include "app/editor/ExportCommands.h"

#include "app/collection/PageId.h"
#include "components/browserhost/WebHost_wx.h"
#include "foundation/VekAdvClass_wx.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"
#include "platform/gui/HtmlEditControl_wx.h"
#include "tests/app/editor/session/FakePorts.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/OwnedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/WebTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/menu.h>
#include <wx/treectrl.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ql {

inline bool WaitFor(const std::function<bool()>& done, long ms = 15000)
{
    return test::PumpUntil(
        [&] {
            wxTheApp->ProcessIdle();
            return done();
        },
        ms);
}

inline wxTreeItemId FindItem(wxTreeCtrl* tv, const wxTreeItemId& parent, const std::string& text)
{
    wxTreeItemIdValue cookie;
    for (wxTreeItemId c = tv->GetFirstChild(parent, cookie); c.IsOk(); c = tv->GetNextChild(parent, cookie)) {
        if (tv->GetItemText(c).utf8_string() == text)
            return c;
        if (wxTreeItemId inner = FindItem(tv, c, text); inner.IsOk())
            return inner;
    }
    return {};
}

class EditorFormTest : public ::testing::Test {
protected:
    struct Choosers : ExportDialogs {
        EditorFormTest& t;
        explicit Choosers(EditorFormTest& test) : t(test) {}
        std::optional<std::string> SaveFile(const std::string&, const std::string&) override { return t.saveAsFile; }
        std::optional<std::string> SelectFolder(const std::string&) override { return t.exportFolder; }
    } choosers{*this};

    test::ScopedXdgEnv xdg;
    test::TempDir temp;
    TSettings settings;
    std::string clipUrl;
    std::unique_ptr<IniFile> ini;
    test::FakeEditorDialogs dialogs;
    test::FakeLauncher launcher;
    std::optional<std::string> exportFolder;  // the folder chooser's answer
    std::optional<std::string> saveAsFile;    // the save dialog's answer
    std::vector<DesktopApp> editWithApps;     // the desktop's applications for HTML files
    test::FixedClock clock;
    std::map<std::string, std::string> cache;
    test::OwnedFrame<TEditorForm> form;
    std::vector<std::string> browsed;  // documents the Browse view completed
    bool withZoneCommands = false;     // Open() gives the editor the zone's Options, About and Exit
    bool defaultSize = false;          // Open() leaves the window at its own size, where the manager puts it
    std::vector<std::string> zoneCommandsRun;

    void SetUp() override
    {
        settings.CollectionDir = temp.dir() + "Collection/";
        settings.ImagesDir = settings.CollectionDir + "!images/";
        settings.ShowTree = settings.ShowToolbar = true;
        settings.DragCreateNew = settings.DragUseHtml = settings.DragUseUnicode = settings.DragIncludeImage = true;
        for (const char* name : {"One", "Two", "Three"})
            Write(name, std::string("<html><body><p>page ") + name + "</p></body></html>\r\n");
        temp.write("Collection/tvframe", "One\r\nTwo\r\nThree\r\n");
        temp.write("Collection/tvdata", "One\r\nTwo\r\nThree\r\n");
        ini = std::make_unique<IniFile>(settings.CollectionDir + "images.ini");
    }

    void Open()
    {
        EditorFormSetup setup(CollectionContext{settings, clipUrl, ini.get()});
        setup.dialogs = &dialogs;
        setup.launcher = &launcher;
        setup.exportDialogs = &choosers;
        setup.editWithApps = [this] { return editWithApps; };
        setup.clock = &clock;
        setup.findCachedFile = [this](const std::string& url, std::uint64_t, const std::string&) {
            auto it = cache.find(url);
            return it == cache.end() ? std::string() : it->second;
        };
        if (withZoneCommands) {
            setup.showOptions = [this] { zoneCommandsRun.push_back("options"); };
            setup.showAbout = [this] { zoneCommandsRun.push_back("about"); };
            setup.exitProgram = [this] { zoneCommandsRun.push_back("exit"); };
        }
        form.reset(CreateEditorForm(std::move(setup)));
        ASSERT_TRUE(form->HtmlEditor);
        // The window's own handler (the search hit's marking) still runs.
        form->web->OnDocumentComplete = [this, own = form->web->OnDocumentComplete](com::IDispatch* d,
                                                                                    const std::string& url) {
            browsed.push_back(url);
            if (own)
                own(d, url);
        };
        // Placed once framed, as the program places it: bounds set before, the window manager
        // may replace, and drops then look for the window where it is not.
        auto placed = std::make_shared<bool>(defaultSize);
        if (!defaultSize)
            WhenFramed(form.get(), [f = form.get(), placed] {
                f->SetSize(wxRect(300, 150, 1000, 700));
                *placed = true;
            });
        form->Show();
        ASSERT_TRUE(WaitFor([&] { return *placed && form->IsShownOnScreen() && Browsed("One.html"); }));
    }

    void TearDown() override { form.reset(); }

    std::string File(const std::string& id) const { return PageFileName(settings.CollectionDir, id); }
    std::string Page(const std::string& id) const { return ReadFileBytes(File(id)).value_or("<missing>"); }
    void Write(const std::string& id, const std::string& text) const { temp.write("Collection/" + id + ".html", text); }
    std::string TreeFrame() const { return temp.read("Collection/tvframe"); }
    bool Browsed(const std::string& tail) const
    {
        return !browsed.empty() && browsed.back().size() >= tail.size() &&
               browsed.back().compare(browsed.back().size() - tail.size(), tail.size(), tail) == 0;
    }
    wxTreeItemId Item(const std::string& text) const { return FindItem(form->TV, form->TV->GetRootItem(), text); }
    void Select(const std::string& text)
    {
        wxTreeItemId item = Item(text);
        ASSERT_TRUE(item.IsOk()) << text;
        form->TV->SelectItem(item);
    }
    bool HtmlShows(const std::string& text) const
    {
        return !form->HtmlEditor->Busy() && form->HtmlEditor->DocumentHTML().find(text) != std::string::npos;
    }
    // The main menu `title` opening, as the toolkit reports it: its items take their states.
    void OpenMenu(const char* title)
    {
        wxMenuBar* bar = form->GetMenuBar();
        wxMenuEvent opening(wxEVT_MENU_OPEN, 0, bar->GetMenu(bar->FindMenu(title)));
        form->ProcessWindowEvent(opening);
    }
    // The item `caption` of the main menu `title` chosen, by its id.
    void Choose(const char* title, const char* caption)
    {
        const int id = form->GetMenuBar()->FindMenuItem(title, caption);
        ASSERT_NE(id, wxNOT_FOUND) << title << " > " << caption;
        wxCommandEvent choose(wxEVT_MENU, id);
        form->ProcessWindowEvent(choose);
    }
    wxPoint LabelOnScreen(const std::string& text) const
    {
        wxRect r;
        form->TV->GetBoundingRect(Item(text), r, true);
        return form->TV->ClientToScreen(r.GetPosition() + wxPoint(r.width / 2, r.height / 2));
    }
};

}  // namespace ql
