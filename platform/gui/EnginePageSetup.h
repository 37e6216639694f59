#pragma once
// The engine's own page setup, kept where the browser keeps its own: under HKEY_CURRENT_USER
// "<option root>\PageSetup", the margins as text in inches ("0.75000"), "header" and "footer",
// and our "orientation". The engine prints with it when its host gives no page layout, and its
// page-setup dialog changes it. A host may move the option root (GetOptionKeyPath).
#include "platform/gui/WebEngineSettings.h"

#include <optional>
#include <string>

namespace ql::web {

inline constexpr char kEngineOptionRoot[] = "Software\\Microsoft\\Internet Explorer";

// "<optionRoot>\PageSetup".
std::string PageSetupKey(const std::string& optionRoot);

// A margin the store does not hold (or holds as no number) is the browser's default, 0.75 in.
inline constexpr double kDefaultMarginMm = 19.05;

// The layout stored under `optionRoot`, portrait and the default margins where nothing usable
// is stored: a first print looks as it does in a fresh browser profile.
PageSetup ReadEnginePageSetup(const std::string& optionRoot);
// Stores the margins and the orientation; the header and footer stay. False when the store
// could not be written.
[[nodiscard]] bool WriteEnginePageSetup(const std::string& optionRoot, const PageSetup& setup);

// A margin in millimetres as the store keeps it: inches, five decimals, a '.'.
std::string MarginStoreText(double millimetres);
// The store's text as millimetres; nullopt when it is no number.
std::optional<double> MarginFromStoreText(const std::string& text);

}  // namespace ql::web
