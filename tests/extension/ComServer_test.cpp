#include "extension/ComServer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace ql::brimhook {
namespace {

TEST(ComServer, RegistrationThatCannotBeSavedOrHasNoLibraryReportsAFailureAndLeavesNothing)
{
    test::ScopedXdgEnv env;
    Registry unsaved("");  // every change fails
    EXPECT_EQ(RegisterServer(unsaved, "/opt/q/libbrimhook.so"), com::E_FAIL);

    Registry registry;
    EXPECT_EQ(RegisterServer(registry, ""), com::E_FAIL);
    EXPECT_TRUE(registry.SubKeyNames(RegRoot::ClassesRoot, "").empty());
    ASSERT_EQ(RegisterServer(registry, "/opt/q/libbrimhook.so"), com::S_OK);
    EXPECT_EQ(registry.SubKeyNames(RegRoot::ClassesRoot, ""),
              (std::vector<std::string>{"Brimhook.quillory", "CLSID", "Interface", "TypeLib"}));
    EXPECT_EQ(
        registry.ReadString(RegRoot::ClassesRoot, "TypeLib\\{27068A40-C3B3-11D5-8B0C-0000E89FE158}\\1.0\\HELPDIR", ""),
        "/opt/q/");
    ASSERT_EQ(UnregisterServer(registry), com::S_OK);
    EXPECT_TRUE(registry.SubKeyNames(RegRoot::ClassesRoot, "").empty());
}

}  // namespace
}  // namespace ql::brimhook
