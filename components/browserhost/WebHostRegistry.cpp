// What the browser host keeps in the registry store: its user-agent token while it lives, and
// the browser's page setup it reads into its print options.
#include "components/browserhost/WebHostCore.h"

#include "platform/core/ErrorLog.h"
#include "platform/core/Registry.h"
#include "platform/gui/EnginePageSetup.h"

namespace ql {

std::string RegisteredUserAgentTokens()
{
    std::string tokens;
    for (const std::string& name : Registry().ValueNames(RegRoot::CurrentUser, kUserAgentKey)) {
        if (name.empty())
            continue;
        if (!tokens.empty())
            tokens += ' ';
        tokens += name;
    }
    return tokens;
}

void TWebHostCore::RegisterUserAgent()
{
    // Keys that cannot be written are skipped: the engine then goes without the token.
    userAgentRegistered_ = Registry().WriteString(RegRoot::CurrentUser, kUserAgentKey, userAgent_, "");
}

void TWebHostCore::UnregisterUserAgent()
{
    Registry registry;
    // A value that cannot be deleted stays behind; the next host of this token writes it again.
    if (registry.KeyExists(RegRoot::CurrentUser, kUserAgentKey) &&
        !registry.DeleteValue(RegRoot::CurrentUser, kUserAgentKey, userAgent_))
        LogError("browser host",
                 "the user-agent token \"" + userAgent_ + "\" could not be removed from the registry store");
    userAgentRegistered_ = false;
}

bool TWebHostCore::ReadPageSetup()
{
    Registry registry;
    const std::string key = web::PageSetupKey(web::kEngineOptionRoot);
    if (!registry.KeyExists(RegRoot::CurrentUser, key))
        return true;
    PrintOptions.Header = registry.ReadString(RegRoot::CurrentUser, key, "header").value_or("");
    PrintOptions.Footer = registry.ReadString(RegRoot::CurrentUser, key, "footer").value_or("");
    const char decimal = LocaleDecimalSeparator();
    TMargins& m = PrintOptions.Margins;
    const std::pair<const char*, double*> margins[] = {
        {"margin_left", &m.Left}, {"margin_right", &m.Right}, {"margin_top", &m.Top}, {"margin_bottom", &m.Bottom}};
    for (const auto& [name, field] : margins) {
        auto text = registry.ReadString(RegRoot::CurrentUser, key, name);
        auto value = text ? ReadPageSetupMargin(*text, PrintOptions.Inches, decimal) : std::nullopt;
        if (!value)
            return false;
        *field = *value;
    }
    return true;
}

const std::string& TWebHostCore::OptionRoot()
{
    if (!optionRoot_) {
        std::u16string key;
        if (GetOptionKeyPath(&key, 0) == com::S_OK && !key.empty())
            optionRoot_ = com::Utf8FromWide(key);
        else
            optionRoot_ = web::kEngineOptionRoot;
    }
    return *optionRoot_;
}

}  // namespace ql
