#pragma once
// The keys under which the browsers would keep a URL, as far as a lookup can know them: both
// browsers split their caches by the site of the page that loaded a resource, and a drop tells
// at most that page's address (Chromium gives its origin, Firefox nothing). The sites tried are
// the page's and the resource's own; a site is a scheme with a registrable domain, which is
// guessed as each ending of the host of at least two labels (no list of public suffixes is
// kept), or the whole host for an address or a one-label name.
#include <string>
#include <vector>

namespace ql::urlcache {

// The forms under which the browsers may keep `url`: without its fragment, and with "|" in the
// path written as Chromium escapes it ("%7C") or, for a "%7C", as Firefox keeps it.
std::vector<std::string> KeyVariants(const std::string& url);

// Chromium's keys for `url` loaded by a page at `pageUrl` ("" when unknown): double-keyed by
// top-frame and frame site ("1/0/_dk_<site> <site> <url>", also with the credentials digit 0),
// single-keyed ("1/0/<url>"), and the bare URL of old caches.
std::vector<std::string> ChromiumKeyCandidates(const std::string& url, const std::string& pageUrl);

// Firefox's keys: partitioned by the top-level site ("O^partitionKey=%28<scheme>%2C<host>%29,:
// <url>"), unpartitioned (":<url>"), each also as an anonymous request ("a,").
std::vector<std::string> FirefoxKeyCandidates(const std::string& url, const std::string& pageUrl);

}  // namespace ql::urlcache
