#include "components/browserhost/PrintOptions.h"

#include <charconv>
#include <cmath>
#include <langinfo.h>
#include <locale.h>

namespace ql {

bool PageSetupPending = false;
bool HidePageSetupDialog = false;

namespace {

// A locale object for one category of the user's environment, freed on scope exit.
class UserLocale {
public:
    UserLocale(int mask)
    {
        loc_ = newlocale(mask, "", static_cast<locale_t>(0));
        if (!loc_)
            loc_ = newlocale(mask, "C", static_cast<locale_t>(0));
    }
    ~UserLocale()
    {
        if (loc_)
            freelocale(loc_);
    }
    UserLocale(const UserLocale&) = delete;
    UserLocale& operator=(const UserLocale&) = delete;
    locale_t get() const { return loc_; }

private:
    locale_t loc_ = static_cast<locale_t>(0);
};

}  // namespace

bool LocaleUsesInches()
{
    UserLocale loc(LC_MEASUREMENT_MASK);
    if (!loc.get())
        return false;
    // 1 metric, 2 US
    const char* m = nl_langinfo_l(_NL_MEASUREMENT_MEASUREMENT, loc.get());
    return m && m[0] == 2;
}

char LocaleDecimalSeparator()
{
    UserLocale loc(LC_NUMERIC_MASK);
    if (!loc.get())
        return '.';
    const char* d = nl_langinfo_l(RADIXCHAR, loc.get());
    return d && d[0] && !d[1] ? d[0] : '.';
}

std::optional<double> ReadPageSetupMargin(const std::string& text, bool inches, char decimalSeparator)
{
    std::string t;
    for (char c : text)
        if (c != ' ')
            t += c;
    if (decimalSeparator != '.') {
        auto dot = t.find('.');
        if (dot != std::string::npos)
            t[dot] = decimalSeparator;
    }
    // The number in the locale's format: its separator is the decimal point, and nothing else
    // may appear besides digits, a sign and an exponent.
    std::string c;
    for (char ch : t) {
        if (ch == decimalSeparator)
            c += '.';
        else if (ch == '.' || ch == ',')
            return std::nullopt;
        else
            c += ch;
    }
    if (!c.empty() && c[0] == '+')
        c.erase(0, 1);
    double v = 0;
    auto [end, ec] = std::from_chars(c.data(), c.data() + c.size(), v);
    if (c.empty() || ec != std::errc() || end != c.data() + c.size() || !std::isfinite(v))
        return std::nullopt;
    return inches ? v : v * 25.4;
}

std::string MarginToDialogText(double value, bool inches, bool localeUsesInches, char decimalSeparator)
{
    double v = value;
    if (inches != localeUsesInches)
        v = localeUsesInches ? value / 25.4 : value * 25.4;
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    std::string s(buf, ec == std::errc() ? end : buf);
    for (char& ch : s)
        if (ch == '.')
            ch = decimalSeparator;
    return s;
}

double MarginInMillimetres(double value, bool inches) { return inches ? value * 25.4 : value; }

std::string ReplaceDialogCaption(const std::string& caption, const std::string& applicationTitle)
{
    static const std::string kMaker = "Microsoft ";
    static const std::string kProduct = "Internet Explorer";
    std::string s = caption;
    auto at = s.find(kMaker);
    if (at != std::string::npos)
        s.erase(at, kMaker.size());
    at = s.find(kProduct);
    if (at != std::string::npos)
        s.replace(at, kProduct.size(), applicationTitle);
    return s;
}

web::PageSetup PageSetupOf(const TPrintOptions& options)
{
    web::PageSetup p;
    p.leftMm = MarginInMillimetres(options.Margins.Left, options.Inches);
    p.rightMm = MarginInMillimetres(options.Margins.Right, options.Inches);
    p.topMm = MarginInMillimetres(options.Margins.Top, options.Inches);
    p.bottomMm = MarginInMillimetres(options.Margins.Bottom, options.Inches);
    p.landscape = options.Orientation == TPrintOrientationOption::poLandscape;
    return p;
}

}  // namespace ql
