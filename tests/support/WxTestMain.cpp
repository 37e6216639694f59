// Entry point for tests that need a running wx application (a display, an event loop).
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "foundation/EventBoundary_wx.h"
#include "tests/support/TempDir.h"

namespace {
// The program's own event boundary, so windows under test handle failures as in the program.
class TestApp : public ql::GuardedApp {
public:
    bool OnInit() override { return true; }
};

// The home and the XDG data, config and cache folders point at one private folder before the
// toolkit starts: GLib reads and keeps them on first use (GTK asks during start-up), so a trash,
// settings or cache written later by any test lands there and never in the user's own. A run
// whose environment already names a session (a test that started this binary with its own)
// keeps it. The folder goes when the run ends.
std::unique_ptr<ql::test::TempDir> PrivateSession()
{
    const char* given = std::getenv("QUILLORY_TEST_SESSION_ROOT");
    std::error_code ec;
    if (given && *given && std::filesystem::is_directory(given, ec))
        return nullptr;
    auto root = std::make_unique<ql::test::TempDir>();
    const struct {
        const char* var;
        const char* sub;
    } folders[] = {
        {"HOME", "home"}, {"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "config"}, {"XDG_CACHE_HOME", "cache"}};
    for (const auto& f : folders) {
        std::filesystem::create_directories(root->path() / f.sub);
        setenv(f.var, (root->path() / f.sub).c_str(), 1);
    }
    setenv("QUILLORY_TEST_SESSION_ROOT", root->path().c_str(), 1);
    return root;
}
// A failed toolkit assertion fails the running test. The toolkit's own handler opens a dialog
// that nobody answers, so the run would hang there instead.
void FailTheTest(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    ADD_FAILURE_AT(file.utf8_str().data(), line) << "toolkit assertion " << cond.utf8_string() << " failed in "
                                                 << func.utf8_string() << ": " << msg.utf8_string();
}
}  // namespace

wxIMPLEMENT_APP_NO_MAIN(TestApp);

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const std::unique_ptr<ql::test::TempDir> session = PrivateSession();
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv)) {
        fprintf(stderr, "cannot start wx (is there a display?)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxSetAssertHandler(FailTheTest);
    wxInitAllImageHandlers();
    int rc = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return rc;
}
