// What the browser host keeps in the registry store and reads from it.
#include "components/browserhost/WebHostCore.h"
#include "platform/core/Registry.h"
#include "platform/gui/EnginePageSetup.h"
#include "tests/components/browserhost/NavigatingHost.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

namespace ql {
namespace {

using test::NavigatingHost;

struct WebHostRegistryTest : ::testing::Test {
    test::ScopedXdgEnv env;
    test::FakeLauncher launcher;
    Registry registry;
    const std::string pageSetup = "Software\\Microsoft\\Internet Explorer\\PageSetup";

    bool HasToken(const std::string& name) { return registry.ValueExists(RegRoot::CurrentUser, kUserAgentKey, name); }
};

TEST_F(WebHostRegistryTest, TheUserAgentTokenIsRegisteredWhileAHostLives)
{
    auto first = std::make_unique<NavigatingHost>(launcher);
    EXPECT_TRUE(HasToken(""));  // an empty token is the unnamed value, which adds nothing
    EXPECT_EQ(first->EngineSettings().userAgentToken, "");
    first->SetUserAgent("Quillory/1");
    EXPECT_TRUE(HasToken("Quillory/1"));
    EXPECT_FALSE(HasToken(""));
    NavigatingHost second(launcher);
    second.SetUserAgent("Quillory/1");
    NavigatingHost third(launcher);
    third.SetUserAgent("Other/2");
    // Every token under the key reaches every engine.
    EXPECT_EQ(third.EngineSettings().userAgentToken, "Quillory/1 Other/2");
    // The value is shared: the first host's going takes it from the second too.
    first.reset();
    EXPECT_FALSE(HasToken("Quillory/1"));
    EXPECT_EQ(second.EngineSettings().userAgentToken, "Other/2");
}

TEST_F(WebHostRegistryTest, ReadPageSetupTakesTheBrowsersPageSetupIntoThePrintOptions)
{
    NavigatingHost host(launcher);
    host.PrintOptions.Header = "kept";
    EXPECT_TRUE(host.ReadPageSetup());  // no page setup stored: nothing changes
    EXPECT_EQ(host.PrintOptions.Header, "kept");

    ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, pageSetup, "header", "&w&bPage &p of &P"));
    ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, pageSetup, "footer", "&u&b&d"));
    ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, pageSetup, "margin_left", "0.75000"));
    ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, pageSetup, "margin_right", " 0.5"));
    ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, pageSetup, "margin_top", "1"));
    ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, pageSetup, "margin_bottom", "0.25"));
    ASSERT_TRUE(host.ReadPageSetup());
    EXPECT_EQ(host.PrintOptions.Header, "&w&bPage &p of &P");
    EXPECT_EQ(host.PrintOptions.Footer, "&u&b&d");
    EXPECT_NEAR(host.PrintOptions.Margins.Left, 19.05, 1e-9);  // the options count millimetres
    EXPECT_NEAR(host.PrintOptions.Margins.Right, 12.7, 1e-9);
    EXPECT_NEAR(host.PrintOptions.Margins.Top, 25.4, 1e-9);
    EXPECT_NEAR(host.PrintOptions.Margins.Bottom, 6.35, 1e-9);
    host.PrintOptions.Inches = true;
    ASSERT_TRUE(host.ReadPageSetup());
    EXPECT_NEAR(host.PrintOptions.Margins.Left, 0.75, 1e-12);

    // A margin that is no number stops the reading there.
    ASSERT_TRUE(registry.WriteString(RegRoot::CurrentUser, pageSetup, "margin_right", "wide"));
    host.PrintOptions.Margins = {};
    EXPECT_FALSE(host.ReadPageSetup());
    EXPECT_NEAR(host.PrintOptions.Margins.Left, 0.75, 1e-12);
    EXPECT_EQ(host.PrintOptions.Margins.Top, 0);
}

TEST_F(WebHostRegistryTest, TheEnginesPageSetupLivesUnderTheOptionRootTheHostGives)
{
    NavigatingHost host(launcher);
    int asked = 0;
    host.OnGetOptionKeyPath = [&](std::u16string& key, std::uint32_t) {
        ++asked;
        key = u"Software\\Quillory\\Browse";
        return com::S_OK;
    };
    EXPECT_EQ(host.OptionRoot(), "Software\\Quillory\\Browse");
    EXPECT_EQ(host.OptionRoot(), "Software\\Quillory\\Browse");
    EXPECT_EQ(asked, 1);
    NavigatingHost plain(launcher);
    EXPECT_EQ(plain.OptionRoot(), web::kEngineOptionRoot);

    // Nothing stored: the browser's defaults, which a margin that is no number keeps too.
    auto fresh = web::ReadEnginePageSetup(host.OptionRoot());
    EXPECT_EQ(std::vector<double>({fresh.leftMm, fresh.rightMm, fresh.topMm, fresh.bottomMm}),
              std::vector<double>(4, 19.05));
    EXPECT_FALSE(fresh.landscape);
    ASSERT_TRUE(
        registry.WriteString(RegRoot::CurrentUser, "Software\\Quillory\\Browse\\PageSetup", "margin_top", "wide"));
    EXPECT_EQ(web::ReadEnginePageSetup(host.OptionRoot()).topMm, 19.05);
    ASSERT_TRUE(web::WriteEnginePageSetup(host.OptionRoot(), {19.05, 12.7, 25.4, 0, true}));
    EXPECT_EQ(registry.ReadString(RegRoot::CurrentUser, "Software\\Quillory\\Browse\\PageSetup", "margin_left"),
              "0.75000");
    auto back = web::ReadEnginePageSetup(host.OptionRoot());
    EXPECT_NEAR(back.leftMm, 19.05, 1e-9);
    EXPECT_NEAR(back.rightMm, 12.7, 1e-9);
    EXPECT_NEAR(back.topMm, 25.4, 1e-9);
    EXPECT_EQ(back.bottomMm, 0);
    EXPECT_TRUE(back.landscape);
    EXPECT_EQ(web::ReadEnginePageSetup(web::kEngineOptionRoot).rightMm, 19.05);  // another root's store
}

}  // namespace
}  // namespace ql
