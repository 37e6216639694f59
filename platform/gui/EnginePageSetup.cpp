#include "platform/gui/EnginePageSetup.h"

#include "platform/core/Registry.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace ql::web {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr const char* kMarginNames[] = {"margin_left", "margin_right", "margin_top", "margin_bottom"};

}  // namespace

std::string PageSetupKey(const std::string& optionRoot) { return optionRoot + "\\PageSetup"; }

std::string MarginStoreText(double millimetres)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.5f", millimetres / kMmPerInch);  // the C locale's '.'
    return buf;
}

std::optional<double> MarginFromStoreText(const std::string& text)
{
    std::string t;
    for (char c : text)
        if (c != ' ')
            t += c;
    double inches = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), inches);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(inches) || inches < 0)
        return std::nullopt;
    return inches * kMmPerInch;
}

PageSetup ReadEnginePageSetup(const std::string& optionRoot)
{
    Registry registry;
    const std::string key = PageSetupKey(optionRoot);
    PageSetup setup;
    double* fields[] = {&setup.leftMm, &setup.rightMm, &setup.topMm, &setup.bottomMm};
    for (int i = 0; i < 4; ++i) {
        auto text = registry.ReadString(RegRoot::CurrentUser, key, kMarginNames[i]);
        *fields[i] = (text ? MarginFromStoreText(*text) : std::nullopt).value_or(kDefaultMarginMm);
    }
    setup.landscape = registry.ReadString(RegRoot::CurrentUser, key, "orientation").value_or("") == "landscape";
    return setup;
}

bool WriteEnginePageSetup(const std::string& optionRoot, const PageSetup& setup)
{
    Registry registry;
    const std::string key = PageSetupKey(optionRoot);
    const double values[] = {setup.leftMm, setup.rightMm, setup.topMm, setup.bottomMm};
    bool ok = true;
    for (int i = 0; i < 4; ++i)
        ok = registry.WriteString(RegRoot::CurrentUser, key, kMarginNames[i], MarginStoreText(values[i])) && ok;
    return registry.WriteString(RegRoot::CurrentUser, key, "orientation", setup.landscape ? "landscape" : "portrait") &&
           ok;
}

}  // namespace ql::web
