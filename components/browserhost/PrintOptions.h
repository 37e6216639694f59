#pragma once
// Print options of the browser host (margins, header, footer, orientation), the locale's
// measurement unit and the margin conversions, and the caption the host gives dialogs.
#include "platform/gui/WebEngineSettings.h"

#include <optional>
#include <string>

namespace ql {

struct TMargins {
    double Left = 0;
    double Right = 0;
    double Top = 0;
    double Bottom = 0;
};

enum class TPrintOrientationOption { poPortrait, poLandscape };

struct TPrintOptions {
    TMargins Margins;  // in inches when Inches, else in millimetres
    std::string Header;
    std::string Footer;
    TPrintOrientationOption Orientation = TPrintOrientationOption::poPortrait;
    bool Inches = false;
};

// Page-setup automation, shared by all hosts: the next page-setup dialog that takes the
// activation from a host's owner is filled with that host's print options and confirmed
// (PageSetupPending), and moved out of sight first (HidePageSetupDialog). Each clears itself.
extern bool PageSetupPending;
extern bool HidePageSetupDialog;

// The user's locale (LC_MEASUREMENT) measures in inches (the US system).
bool LocaleUsesInches();
// The decimal separator of the user's numeric locale (LC_NUMERIC).
char LocaleDecimalSeparator();

// A page-setup margin text (in inches, as the engine stores it) as a margin value: blanks
// removed, the first "." read as the locale's decimal separator, in inches when `inches`,
// else in millimetres. nullopt when the text is no number.
std::optional<double> ReadPageSetupMargin(const std::string& text, bool inches, char decimalSeparator);
// A margin as text in the unit the locale uses (up to 15 significant digits, no trailing
// zeros, the locale's decimal separator).
std::string MarginToDialogText(double value, bool inches, bool localeUsesInches, char decimalSeparator);
// A margin in millimetres, whatever the options' unit.
double MarginInMillimetres(double value, bool inches);

// A dialog caption as the host shows it: the engine maker's name taken out and the engine's
// product name replaced by `applicationTitle` (each at its first occurrence).
std::string ReplaceDialogCaption(const std::string& caption, const std::string& applicationTitle);

// The engine's page layout for the options.
web::PageSetup PageSetupOf(const TPrintOptions& options);

}  // namespace ql
