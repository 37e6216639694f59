#include "foundation/VekAdvClass.h"

#include "platform/core/SafeFile.h"
#include "platform/core/com/ComBase.h"

#include <algorithm>
#include <climits>
#include <cwctype>
#include <dlfcn.h>

namespace ql {

namespace {

constexpr int kMinWidth = 100;
constexpr int kMinHeight = 60;

const char* const kBoundNames[4] = {"Left", "Top", "Width", "Height"};

int* boundField(FormRect& r, int i)
{
    switch (i) {
    case 0:
        return &r.Left;
    case 1:
        return &r.Top;
    case 2:
        return &r.Width;
    default:
        return &r.Height;
    }
}

long long area(long long l, long long t, long long r, long long b) { return (r > l && b > t) ? (r - l) * (b - t) : 0; }

long long overlap(const FormRect& a, const FormRect& b)
{
    long long l = std::max<long long>(a.Left, b.Left), t = std::max<long long>(a.Top, b.Top);
    long long r = std::min<long long>(static_cast<long long>(a.Left) + a.Width,
                                      static_cast<long long>(b.Left) + b.Width);
    long long btm = std::min<long long>(static_cast<long long>(a.Top) + a.Height,
                                        static_cast<long long>(b.Top) + b.Height);
    return area(l, t, r, btm);
}

// True when every point of `r` lies on some display.
bool coveredByDisplays(const FormRect& r, const std::vector<FormRect>& displays)
{
    std::vector<long long> xs{r.Left, static_cast<long long>(r.Left) + r.Width};
    std::vector<long long> ys{r.Top, static_cast<long long>(r.Top) + r.Height};
    for (const auto& d : displays) {
        xs.push_back(d.Left);
        xs.push_back(static_cast<long long>(d.Left) + d.Width);
        ys.push_back(d.Top);
        ys.push_back(static_cast<long long>(d.Top) + d.Height);
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        long long x0 = xs[i], x1 = xs[i + 1];
        if (x1 <= x0 || x0 < r.Left || x1 > static_cast<long long>(r.Left) + r.Width)
            continue;
        for (size_t j = 0; j + 1 < ys.size(); ++j) {
            long long y0 = ys[j], y1 = ys[j + 1];
            if (y1 <= y0 || y0 < r.Top || y1 > static_cast<long long>(r.Top) + r.Height)
                continue;
            bool cellCovered = false;
            for (const auto& d : displays)
                if (d.Left <= x0 && x1 <= static_cast<long long>(d.Left) + d.Width && d.Top <= y0 &&
                    y1 <= static_cast<long long>(d.Top) + d.Height)
                    cellCovered = true;
            if (!cellCovered)
                return false;
        }
    }
    return true;
}

long long distanceToDisplay(const FormRect& r, const FormRect& d)
{
    long long cx = r.Left + static_cast<long long>(r.Width) / 2, cy = r.Top + static_cast<long long>(r.Height) / 2;
    long long dx = cx < d.Left ? d.Left - cx
                               : (cx > d.Left + static_cast<long long>(d.Width) ? cx - d.Left - d.Width : 0);
    long long dy = cy < d.Top ? d.Top - cy
                              : (cy > d.Top + static_cast<long long>(d.Height) ? cy - d.Top - d.Height : 0);
    return dx * dx + dy * dy;
}

bool isWordChar(wchar_t c) { return c == L'_' || std::iswalnum(static_cast<wint_t>(c)); }

wchar_t fold(wchar_t c, bool matchCase)
{
    return matchCase ? c : static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

}  // namespace

FormPlacement ReadFormPlacement(Registry& registry, const std::string& key, const FormRect& current, bool* recorded)
{
    const RegRoot cu = RegRoot::CurrentUser;
    // The defaults are stored for the next read; should that fail, this read still gives them.
    (void)registry.CreateKey(cu, key);
    FormRect cur = current;
    if (recorded)
        *recorded = false;
    for (int i = 0; i < 4; ++i)
        if (!registry.ReadDWord(cu, key, kBoundNames[i])) {
            (void)registry.WriteDWord(cu, key, kBoundNames[i], static_cast<std::uint32_t>(*boundField(cur, i)));
            if (recorded)
                *recorded = true;
        }
    if (!registry.ValueExists(cu, key, "Max"))
        (void)registry.WriteDWord(cu, key, "Max", 0);

    FormPlacement p;
    p.Bounds = current;
    for (int i = 0; i < 4; ++i)
        if (auto v = registry.ReadDWord(cu, key, kBoundNames[i]))
            *boundField(p.Bounds, i) = static_cast<int>(static_cast<std::int32_t>(*v));
    auto max = registry.ReadDWord(cu, key, "Max");
    p.Max = max && *max != 0;
    return p;
}

bool WriteFormPlacement(Registry& registry, const std::string& key, const FormPlacement& placement)
{
    const RegRoot cu = RegRoot::CurrentUser;
    bool ok = registry.WriteDWord(cu, key, "Max", placement.Max ? 1 : 0);
    FormRect b = placement.Bounds;
    for (int i = 0; i < 4; ++i)
        ok = registry.WriteDWord(cu, key, kBoundNames[i], static_cast<std::uint32_t>(*boundField(b, i))) && ok;
    return ok;
}

FormRect SeedFormBounds(int screenWidth, int screenHeight)
{
    return FormRect{20, 75, screenWidth * 6 / 7, screenHeight * 5 / 6};
}

FormRect KeepOnDisplays(const FormRect& bounds, const std::vector<FormRect>& displays)
{
    if (displays.empty())
        return bounds;
    FormRect r = bounds;
    r.Width = std::max(r.Width, kMinWidth);
    r.Height = std::max(r.Height, kMinHeight);
    if (coveredByDisplays(r, displays))
        return r;

    const FormRect* best = &displays.front();
    long long bestOverlap = -1;
    for (const auto& d : displays) {
        long long o = overlap(r, d);
        if (o > bestOverlap) {
            bestOverlap = o;
            best = &d;
        }
    }
    if (bestOverlap == 0) {
        long long bestDistance = LLONG_MAX;
        for (const auto& d : displays) {
            long long dist = distanceToDisplay(r, d);
            if (dist < bestDistance) {
                bestDistance = dist;
                best = &d;
            }
        }
    }
    const FormRect& d = *best;
    r.Width = std::min(r.Width, d.Width);
    r.Height = std::min(r.Height, d.Height);
    r.Left = std::clamp(r.Left, d.Left, d.Left + d.Width - r.Width);
    r.Top = std::clamp(r.Top, d.Top, d.Top + d.Height - r.Height);
    return r;
}

void NormalBoundsTracker::Changed(const FormRect& bounds, bool maximised)
{
    if (maximised) {
        if (maximisedAt_ && !(bounds == *maximisedAt_))
            grewAfterMaximise_ = true;
        return;
    }
    maximisedAt_.reset();
    grewAfterMaximise_ = false;
    if (bounds == normal_)
        return;
    previous_ = normal_;
    normal_ = bounds;
}

void NormalBoundsTracker::Maximised(const FormRect& bounds)
{
    maximisedAt_ = bounds;
    grewAfterMaximise_ = false;
}

FormRect NormalBoundsTracker::Normal() const
{
    // Maximised without growing afterwards: the last "normal" size was already the maximised one.
    return (maximisedAt_ && !grewAfterMaximise_) ? previous_ : normal_;
}

std::optional<FormPlacement> FormPlacementFollower::Mapped(const FormRect& bounds)
{
    if (!pending_)
        return std::nullopt;
    pending_ = false;
    if (!stored_) {
        tracker_ = NormalBoundsTracker(bounds);
        return std::nullopt;
    }
    maximised_ = loaded_.Max;
    tracker_ = NormalBoundsTracker(loaded_.Bounds);
    return loaded_;
}

void FormPlacementFollower::Changed(const FormRect& bounds, bool maximised)
{
    if (pending_)
        return;
    maximised_ = maximised;
    tracker_.Changed(bounds, maximised);
}

void FormPlacementFollower::Maximised(const FormRect& bounds)
{
    if (pending_)
        return;
    maximised_ = true;
    tracker_.Maximised(bounds);
}

FormPlacement FormPlacementFollower::ToSave(const std::optional<FormPlacement>& now) const
{
    if (pending_)
        return loaded_;
    FormPlacementFollower current = *this;
    if (now)
        current.Changed(now->Bounds, now->Max);
    return FormPlacement{current.tracker_.Normal(), current.maximised_};
}

bool RegisterComServer(const std::string& fileName, bool reg, bool showMessages, Dialogs& dialogs)
{
    if (!FileExists(fileName)) {
        if (showMessages)
            dialogs.ShowMessage("File Not Exists: " + fileName);
        return false;
    }
    std::string message = "Failed At: " + fileName;
    bool succeeded = false;
    // A name without '/' would be searched in the library path, not taken as this file.
    std::string path = fileName.find('/') == std::string::npos ? "./" + fileName : fileName;
    if (void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        using EntryPoint = com::HRESULT (*)();
        void* symbol = ::dlsym(library, reg ? "DllRegisterServer" : "DllUnregisterServer");
        if (symbol) {
            auto entry = reinterpret_cast<EntryPoint>(symbol);
            // A server that reports failure has not registered: say so.
            if (com::SUCCEEDED(entry())) {
                succeeded = true;
                message = std::string(reg ? "Register" : "UnRegister") + " \"" + fileName + "\" Success!";
            }
        }
        if (showMessages)
            dialogs.ShowMessage(message);
        ::dlclose(library);
        return succeeded;
    }
    if (showMessages)
        dialogs.ShowMessage(message);
    return false;
}

std::optional<long> FindNextMatch(const std::wstring& text, const std::wstring& what, long selStart, long selEnd,
                                  bool matchCase, bool wholeWord)
{
    if (what.empty())
        return std::nullopt;
    long n = static_cast<long>(text.size());
    long start = (selEnd > selStart) ? selEnd : 0;
    if (start < 0 || start > n)
        return std::nullopt;
    long len = static_cast<long>(what.size());
    for (long pos = start; pos + len <= n; ++pos) {
        long k = 0;
        while (k < len &&
               fold(text[static_cast<size_t>(pos + k)], matchCase) == fold(what[static_cast<size_t>(k)], matchCase))
            ++k;
        if (k != len)
            continue;
        if (wholeWord && ((pos > 0 && isWordChar(text[static_cast<size_t>(pos - 1)])) ||
                          (pos + len < n && isWordChar(text[static_cast<size_t>(pos + len)]))))
            continue;
        return pos;
    }
    return std::nullopt;
}

}  // namespace ql
