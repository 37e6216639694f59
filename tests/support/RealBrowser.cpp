#include "tests/support/RealBrowser.h"

#include "tests/support/Spawn.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace ql::test {

namespace {

namespace fs = std::filesystem;

const char kChromium[] = "/usr/bin/chromium";
const char kFirefox[] = "/usr/bin/firefox-esr";
const char kFirefoxProfile[] = ".mozilla/firefox/quillory-test";

// Preferences of a fresh Firefox profile: no welcome, default-browser or update pages, no
// telemetry, nothing fetched in the background.
const char kFirefoxPrefs[] = R"(user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.startup.page", 0);
user_pref("browser.startup.firstrunSkipsHomepage", true);
user_pref("startup.homepage_welcome_url", "");
user_pref("startup.homepage_welcome_url.additional", "");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("trailhead.firstrun.didSeeAboutWelcome", true);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.healthreport.uploadEnabled", false);
user_pref("toolkit.telemetry.enabled", false);
user_pref("toolkit.telemetry.unified", false);
user_pref("app.update.auto", false);
user_pref("app.update.enabled", false);
user_pref("app.normandy.enabled", false);
user_pref("extensions.update.enabled", false);
user_pref("browser.newtabpage.enabled", false);
user_pref("browser.tabs.warnOnClose", false);
user_pref("browser.sessionstore.resume_from_crash", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("browser.safebrowsing.malware.enabled", false);
user_pref("browser.safebrowsing.phishing.enabled", false);
)";

void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

bool RealBrowser::Installed(Kind kind) { return ::access(kind == Kind::Chromium ? kChromium : kFirefox, X_OK) == 0; }

RealBrowser::RealBrowser(Kind kind, const std::string& home, const std::string& url) : kind_(kind), home_(home)
{
    SpawnOptions options;
    options.env = {"HOME=" + home, "XDG_CONFIG_HOME=" + home + ".config", "XDG_CACHE_HOME=" + home + ".cache",
                   "XDG_DATA_HOME=" + home + ".local/share", "MOZ_CRASHREPORTER_DISABLE=1"};
    options.stdoutFile = options.stderrFile = home + "browser.log";
    options.ownGroup = true;
    std::vector<std::string> argv;
    if (kind == Kind::Chromium) {
        // Its cache goes below XDG_CACHE_HOME, as for a profile in the usual place.
        argv = {kChromium,
                "--no-sandbox",
                "--disable-gpu",
                "--no-first-run",
                "--no-default-browser-check",
                "--disable-background-networking",
                "--disable-component-update",
                "--disable-sync",
                "--disable-quic",
                "--password-store=basic",
                "--disable-features=Translate,MediaRouter",
                "--window-position=0,0",
                "--window-size=900,700",
                "--user-data-dir=" + home + ".config/chromium",
                url};
    } else {
        WriteFile(fs::path(home) / kFirefoxProfile / "user.js", kFirefoxPrefs);
        argv = {kFirefox, "--no-remote", "--profile", home + kFirefoxProfile, "--width", "900", "--height", "700", url};
    }
    fs::create_directories(home);
    pid_ = Spawn(argv, options);
}

RealBrowser::~RealBrowser()
{
    if (pid_ <= 0)
        return;
    // The whole group: the browser's helper processes go with it.
    ::kill(-pid_, SIGTERM);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(-pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(-pid_, SIGKILL);  // helpers still running after the browser ended
}

std::string RealBrowser::CacheFolder() const
{
    return kind_ == Kind::Chromium ? home_ + ".cache/chromium/" : home_ + ".cache/mozilla/firefox/";
}

std::string RealBrowser::Log() const
{
    std::ifstream in(home_ + "browser.log", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace ql::test
