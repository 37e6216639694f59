#include "platform/gui/OwnLoadGate.h"

#include "platform/core/UrlText.h"

namespace ql::web {

namespace {

// The engine may write an address with other escapes than we did ("%7e" or "~").
bool SameUrl(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    auto da = PercentDecode(a), db = PercentDecode(b);
    return da && db && *da == *db;
}

}  // namespace

void OwnLoadGate::Expect(const std::string& url)
{
    expected_ = url;
    expecting_ = true;
}

bool OwnLoadGate::Decide(const std::string& url, bool redirect)
{
    if (expecting_ && (expected_.empty() || SameUrl(url, expected_))) {
        expecting_ = false;
        inOwnLoad_ = true;
        return true;
    }
    return redirect && inOwnLoad_;
}

}  // namespace ql::web
