#include "components/browserhost/WebHost.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/TempDir.h"
#include "tests/webengine/WebTestSupport.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/frame.h>

namespace ql {
namespace {

TEST(WebHostOwner, OwnDialogTakingTheActivationIsReportedWithItsCaptionReplaced)
{
    test::ScopedXdgEnv env;
    test::FakeLauncher launcher;
    auto* frame = new wxFrame(nullptr, wxID_ANY, "owner", wxDefaultPosition, wxSize(600, 400));
    auto* web = new TWebHost(frame, launcher);
    wxWindow* reported = nullptr;
    web->OnShowDialog = [&](TWebHost& sender, wxWindow* w) {
        EXPECT_EQ(&sender, web);
        reported = w;
    };
    web->ReplaceCaption = true;
    frame->Show();
    frame->Raise();
    // The frame goes at the next idle time, after this test's variables: nothing may call back
    // into them then.
    auto close = [&] {
        web->OnShowDialog = nullptr;
        frame->Destroy();
    };
    if (!test::PumpUntil([&] { return frame->IsActive(); }, 5000)) {
        close();
        GTEST_SKIP() << "windows do not take the activation on this display";
    }
    wxTheApp->SetAppDisplayName("Quillory");
    auto* dialog = new wxDialog(frame, wxID_ANY, "Find - Internet Explorer");
    dialog->Show();
    dialog->Raise();
    EXPECT_TRUE(test::PumpUntil([&] { return reported != nullptr; }, 5000));
    EXPECT_EQ(reported, dialog);
    EXPECT_EQ(dialog->GetTitle(), "Find - Quillory");
    dialog->Destroy();
    close();
}

}  // namespace
}  // namespace ql
