#include "foundation/VekAdvClass.h"

#include "tests/support/FakeDialogs.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace ql;

namespace {

constexpr auto CU = RegRoot::CurrentUser;

TEST(VekAdvClass, FirstLoadRecordsTheFormsBoundsAndSaveLoadRoundTrips)
{
    test::ScopedXdgEnv env;
    Registry reg;
    FormRect designed{30, 40, 800, 600};
    bool recorded = false;
    FormPlacement first = ReadFormPlacement(reg, kFormPosKey, designed, &recorded);
    EXPECT_TRUE(recorded);
    EXPECT_EQ(first.Bounds, designed);
    EXPECT_FALSE(first.Max);
    EXPECT_EQ(reg.ValueNames(CU, kFormPosKey), (std::vector<std::string>{"Left", "Top", "Width", "Height", "Max"}));
    EXPECT_EQ(reg.ReadDWord(CU, "Software\\Tessaly\\Pouchly\\FormPos", "Max"), 0u);

    // Exit while maximised: the normal bounds and Max = 1; negative positions survive.
    ASSERT_TRUE(WriteFormPlacement(reg, kFormPosKey, FormPlacement{FormRect{-8, -20, 1000, 700}, true}));
    EXPECT_EQ(reg.ReadDWord(CU, kFormPosKey, "Left"), 0xFFFFFFF8u);
    FormPlacement next = ReadFormPlacement(reg, kFormPosKey, designed, &recorded);
    EXPECT_FALSE(recorded);
    EXPECT_EQ(next.Bounds, (FormRect{-8, -20, 1000, 700}));
    EXPECT_TRUE(next.Max);
}

TEST(VekAdvClass, MissingOrMistypedValuesAreFilledFromTheForm)
{
    test::ScopedXdgEnv env;
    Registry reg;
    ASSERT_TRUE(reg.WriteDWord(CU, kFormPosKey, "Left", 111));
    ASSERT_TRUE(reg.WriteString(CU, kFormPosKey, "Width", "wide"));
    ASSERT_TRUE(reg.WriteDWord(CU, kFormPosKey, "Max", 7));
    FormPlacement p = ReadFormPlacement(reg, kFormPosKey, FormRect{1, 2, 3, 4});
    EXPECT_EQ(p.Bounds, (FormRect{111, 2, 3, 4}));
    EXPECT_TRUE(p.Max);  // any non-zero value
    EXPECT_EQ(reg.ReadDWord(CU, kFormPosKey, "Width"), 3u);

    // No store at all: the form keeps its bounds.
    Registry none("");
    EXPECT_EQ(ReadFormPlacement(none, kFormPosKey, FormRect{5, 6, 7, 8}).Bounds, (FormRect{5, 6, 7, 8}));
    EXPECT_FALSE(WriteFormPlacement(none, kFormPosKey, FormPlacement{}));
}

TEST(VekAdvClass, RestoredWindowsStayOnAVisibleDisplay)
{
    const FormRect left{0, 0, 1920, 1080};
    const FormRect right{1920, 0, 1280, 1024};
    std::vector<FormRect> two{left, right};
    // Inside one display, or spanning both where both cover it: unchanged.
    EXPECT_EQ(KeepOnDisplays({100, 100, 800, 600}, two), (FormRect{100, 100, 800, 600}));
    EXPECT_EQ(KeepOnDisplays({1500, 100, 1000, 600}, two), (FormRect{1500, 100, 1000, 600}));
    // Spanning into the gap below the smaller display: moved onto the display it overlaps most.
    EXPECT_EQ(KeepOnDisplays({1800, 700, 400, 350}, two), (FormRect{1920, 674, 400, 350}));
    EXPECT_EQ(KeepOnDisplays({2000, 900, 400, 300}, two), (FormRect{2000, 724, 400, 300}));
    // A display that went away: onto the nearest one, shrunk to fit.
    EXPECT_EQ(KeepOnDisplays({5000, 200, 800, 600}, two), (FormRect{2400, 200, 800, 600}));
    EXPECT_EQ(KeepOnDisplays({-3000, -3000, 2500, 2000}, two), (FormRect{0, 0, 1920, 1080}));
    // Nonsense sizes from a damaged store still give a usable window.
    EXPECT_EQ(KeepOnDisplays({10, 10, 0, -5}, two), (FormRect{10, 10, 100, 60}));
    EXPECT_EQ(KeepOnDisplays({10, 10, 0, -5}, {}), (FormRect{10, 10, 0, -5}));
}

TEST(VekAdvClass, NormalBoundsSurviveMaximiseInEitherReportOrder)
{
    const FormRect normal{100, 100, 800, 600}, moved{150, 120, 800, 600}, max{0, 0, 1920, 1050};
    {  // size first, then the state change
        NormalBoundsTracker t(normal);
        t.Changed(moved, false);
        t.Changed(max, false);
        t.Maximised(max);
        EXPECT_EQ(t.Normal(), moved);
    }
    {  // state first, then the size
        NormalBoundsTracker t(normal);
        t.Changed(moved, false);
        t.Maximised(moved);
        t.Changed(max, true);
        EXPECT_EQ(t.Normal(), moved);
    }
    {  // restored and maximised again
        NormalBoundsTracker t(normal);
        t.Changed(max, false);
        t.Maximised(max);
        t.Changed(normal, false);
        EXPECT_EQ(t.Normal(), normal);
        t.Changed(max, false);
        t.Maximised(max);
        EXPECT_EQ(t.Normal(), normal);
    }
}

TEST(VekAdvClass, ThePlacementIsAppliedAtTheFirstShowAndSavedAsTheWindowLastHadIt)
{
    const FormRect stored{200, 150, 640, 480}, moved{300, 200, 700, 500}, max{0, 0, 1600, 1200};
    FormPlacementFollower f(FormPlacement{stored, true});
    // Before the form is on the screen the toolkit's steps do not count, and a save keeps the
    // loaded placement exactly (a form never shown, or not yet framed).
    f.Changed(FormRect{0, 0, 642, 505}, false);
    EXPECT_EQ(f.ToSave(std::nullopt).Bounds, stored);
    EXPECT_TRUE(f.ToSave(std::nullopt).Max);
    std::optional<FormPlacement> apply = f.Mapped(FormRect{0, 0, 642, 505});
    ASSERT_TRUE(apply);
    EXPECT_EQ(apply->Bounds, stored);
    EXPECT_TRUE(apply->Max);
    EXPECT_FALSE(f.Mapped(stored));  // the first show only

    // Maximised on the screen: the normal bounds are stored with Max.
    f.Maximised(max);
    f.Changed(max, true);
    FormPlacement saved = f.ToSave(FormPlacement{max, true});
    EXPECT_EQ(saved.Bounds, stored);
    EXPECT_TRUE(saved.Max);
    // Restored and moved, then hidden: what it last had on the screen.
    f.Changed(moved, false);
    saved = f.ToSave(std::nullopt);
    EXPECT_EQ(saved.Bounds, moved);
    EXPECT_FALSE(saved.Max);
    EXPECT_EQ(f.ToSave(FormPlacement{FormRect{310, 200, 700, 500}, false}).Bounds, (FormRect{310, 200, 700, 500}));

    // The first run: nothing stored yet, the form keeps what it gets at its first show.
    FormPlacementFollower first(FormPlacement{FormRect{0, 0, 753, 438}, false}, false);
    EXPECT_FALSE(first.Mapped(FormRect{40, 30, 755, 463}));
    EXPECT_EQ(first.ToSave(std::nullopt).Bounds, (FormRect{40, 30, 755, 463}));
}

class RegisterComServerTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string marker = dir.dir() + "marker";
    test::FakeDialogs dialogs;
    void SetUp() override { setenv("QL_TEST_COMSERVER_MARKER", marker.c_str(), 1); }
    void TearDown() override
    {
        unsetenv("QL_TEST_COMSERVER_MARKER");
        unsetenv("QL_TEST_COMSERVER_FAIL");
    }
};

TEST_F(RegisterComServerTest, CallsTheEntryPointAndSaysSo)
{
    const std::string lib = QUILLORY_TEST_COMSERVER;
    EXPECT_TRUE(RegisterComServer(lib, true, true, dialogs));
    EXPECT_TRUE(RegisterComServer(lib, false, true, dialogs));
    EXPECT_TRUE(RegisterComServer(lib, true, false, dialogs));
    EXPECT_EQ(dir.read("marker"), "register\nunregister\nregister\n");
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{"Register \"" + lib + "\" Success!", "UnRegister \"" + lib + "\" Success!"}));
}

TEST_F(RegisterComServerTest, FailuresAreReportedAsFailures)
{
    EXPECT_FALSE(RegisterComServer(dir.dir() + "Triedit.dll", true, true, dialogs));
    EXPECT_FALSE(RegisterComServer(dir.dir() + "Triedit.dll", true, false, dialogs));
    auto notALibrary = dir.write("Dhtmled.ocx", "MZ not an ELF file");
    EXPECT_FALSE(RegisterComServer(notALibrary.string(), true, true, dialogs));

    Dl_info info{};  // a real library without the entry points: the C library
    ASSERT_TRUE(dladdr(reinterpret_cast<void*>(&std::printf), &info));
    EXPECT_FALSE(RegisterComServer(info.dli_fname, false, true, dialogs));

    setenv("QL_TEST_COMSERVER_FAIL", "1", 1);
    EXPECT_FALSE(RegisterComServer(QUILLORY_TEST_COMSERVER, true, true, dialogs));
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"File Not Exists: " + dir.dir() + "Triedit.dll",
                                                          "Failed At: " + notALibrary.string(),
                                                          std::string("Failed At: ") + info.dli_fname,
                                                          std::string("Failed At: ") + QUILLORY_TEST_COMSERVER}));
    EXPECT_EQ(dir.read("marker"), "register\n");
}

TEST(VekAdvClass, FindSearchesForwardFromTheSelectionsEnd)
{
    const std::wstring text = L"one two One twone one_x one.";
    // Empty selection: from the start.
    EXPECT_EQ(FindNextMatch(text, L"one", 5, 5, false, false), 0);
    // A selection: after its end, also when the cursor sat inside a previous match.
    EXPECT_EQ(FindNextMatch(text, L"one", 0, 3, false, false), 8);
    EXPECT_EQ(FindNextMatch(text, L"one", 1, 2, false, false), 8);
    EXPECT_EQ(FindNextMatch(text, L"one", 0, 3, true, false), 14);
    EXPECT_EQ(FindNextMatch(text, L"one", 8, 11, false, true), 24);              // "twone" and "one_x" are not words
    EXPECT_EQ(FindNextMatch(text, L"one", 24, 27, false, false), std::nullopt);  // after the last: nothing
    EXPECT_EQ(FindNextMatch(text, L"", 0, 0, false, false), std::nullopt);
    EXPECT_EQ(FindNextMatch(text, L"one", 0, 500, false, false), std::nullopt);
    EXPECT_EQ(FindNextMatch(L"grüße GRÜSSE Grüße", L"GRÜẞE", 0, 0, false, false).has_value(), false);
    EXPECT_EQ(FindNextMatch(L"x Ärger ärger", L"ärger", 0, 1, true, true), 8);
}

}  // namespace
