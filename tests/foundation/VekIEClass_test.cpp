#include "foundation/VekIEClass.h"
#include "platform/core/CopyDataTransport.h"
#include "platform/core/RuntimeDir.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/FakeWindowActivator.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace ql {
namespace {

TEST(BrowserUrl, MessageTextAndSchemes)
{
    EXPECT_EQ(BrowserUrlMessage("http://a/", ""), "http://a/");
    EXPECT_EQ(BrowserUrlMessage("http://a/", "x=1&y=2"), "http://a/ = x=1&y=2");

    test::FakeLauncher launcher;
    for (const char* ok :
         {"http://example.org/", "HTTPS://example.org/a?b#c", "file:///tmp/a%20b.html", "/tmp/page #1.html"})
        EXPECT_TRUE(OpenInNewBrowser(ok, "", launcher)) << ok;
    EXPECT_EQ(launcher.opened.size(), 4u);
    EXPECT_EQ(launcher.opened.back(), "/tmp/page #1.html");
    for (const char* refused : {"javascript:alert(1)", "mailto:a@b", "ftp://x/", "relative.html", "", "-oProxy=x"})
        EXPECT_FALSE(OpenInNewBrowser(refused, "", launcher)) << refused;
    EXPECT_FALSE(OpenInNewBrowser("file:///tmp/a.html", "a=1", launcher));  // POST goes to web servers only
    EXPECT_EQ(launcher.opened.size(), 4u);
    launcher.result = false;
    EXPECT_FALSE(OpenInNewBrowser("http://example.org/", "", launcher));
}

TEST(BrowserUrl, GoesToTheBrowserWindowWhenOneListens)
{
    test::ScopedXdgEnv env;
    test::FakeLauncher launcher;
    test::FakeWindowActivator front;
    EXPECT_TRUE(OpenUrl("http://example.org/", "", launcher, front));  // nobody listens: the desktop's browser
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"http://example.org/"});
    EXPECT_TRUE(front.asked.empty());

    std::mutex m;
    std::vector<CopyDataMessage> got;
    CopyDataServer window(BrowserWindowClass, [&](const CopyDataMessage& msg) {
        std::lock_guard lock(m);
        got.push_back(msg);
        return std::int64_t(1);
    });
    ASSERT_TRUE(window.Listening()) << window.Error();
    EXPECT_TRUE(OpenUrl("http://example.org/b", "", launcher, front));
    EXPECT_EQ(launcher.opened.size(), 1u);  // nothing else started
    // The window of the process that took the message is brought to the front.
    EXPECT_EQ(front.asked, (std::vector<std::pair<pid_t, std::string>>{{::getpid(), BrowserWindowClass}}));
    EXPECT_TRUE(SendUrlToBrowserWindow("http://example.org/c", "q=1", false, BrowserWindowClass, front));
    std::lock_guard lock(m);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].dwData, 0x9999u);
    EXPECT_EQ(got[0].wParam, 0u);
    EXPECT_EQ(got[0].data, std::string("http://example.org/b\0", 21));
    EXPECT_EQ(got[1].dwData, 0x8888u);
    EXPECT_EQ(got[1].Text(), "http://example.org/c = q=1");
}

TEST(BrowserUrl, PostDataGoesAsAFormThatSendsItself)
{
    test::ScopedXdgEnv env;
    test::FakeLauncher launcher;
    ASSERT_TRUE(OpenInNewBrowser("https://example.org/find?x=\"1\"", "q=a+b%26c&empty=&flag&%3C=%3E", launcher));
    ASSERT_EQ(launcher.opened.size(), 1u);
    const std::string page = launcher.opened[0];
    EXPECT_EQ(page.rfind(RuntimeDir(), 0), 0u) << page;
    std::ifstream in(page);
    const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(html, PostFormPage("https://example.org/find?x=\"1\"", "q=a+b%26c&empty=&flag&%3C=%3E"));
    EXPECT_NE(html.find("<form method=\"post\" action=\"https://example.org/find?x=&quot;1&quot;\""),
              std::string::npos);
    EXPECT_NE(html.find("<input type=\"hidden\" name=\"q\" value=\"a b&amp;c\">"), std::string::npos);
    EXPECT_NE(html.find("name=\"empty\" value=\"\""), std::string::npos);
    EXPECT_NE(html.find("name=\"flag\" value=\"\""), std::string::npos);
    EXPECT_NE(html.find("name=\"&lt;\" value=\"&gt;\""), std::string::npos);
    EXPECT_NE(html.find("onload=\"document.forms[0].submit()\""), std::string::npos);
}

TEST(HighlightText, NothingWithoutADocumentOrText)
{
    HighlightText("word", nullptr);
    struct NotADocument : com::IDispatch {
        int queried = 0;
        com::HRESULT QueryInterface(const com::IID&, void** o) override
        {
            ++queried;
            *o = nullptr;
            return com::E_NOINTERFACE;
        }
        com::ULONG AddRef() override { return 1; }
        com::ULONG Release() override { return 1; }
        com::HRESULT GetTypeInfoCount(std::uint32_t*) override { return com::E_NOTIMPL; }
        com::HRESULT GetTypeInfo(std::uint32_t, com::LCID, com::ITypeInfo**) override { return com::E_NOTIMPL; }
        com::HRESULT GetIDsOfNames(const com::IID&, const std::u16string*, std::uint32_t, com::LCID,
                                   com::DISPID*) override
        {
            return com::E_NOTIMPL;
        }
        com::HRESULT Invoke(com::DISPID, const com::IID&, com::LCID, com::WORD, com::DISPPARAMS*, com::Variant*,
                            com::EXCEPINFO*, std::uint32_t*) override
        {
            return com::E_NOTIMPL;
        }
    } other;
    HighlightText("word", &other);
    EXPECT_EQ(other.queried, 1);
    HighlightText("", &other);
    EXPECT_EQ(other.queried, 1);
}

}  // namespace
}  // namespace ql
