// The page text transforms on any page: the Unicode toggle, the clean-up, the preparation of a
// page for a view (plain text to HTML, the import's changes), an appended clip and the pure
// text the HTML view renders (it comes back from the web engine as a JSON value).
#include "app/collection/TextTransforms.h"
#include "app/collection/TextUtil.h"
#include "app/editor/session/PageText.h"
#include "fuzz/FuzzSupport.h"
#include "platform/gui/Json.h"

using namespace ql;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    const std::string_view page = fuzz::Bytes(data + 1, size - 1);

    // Twice over a page without "charset=unicode" gives the page back (as CR LF lines).
    const std::string toggled = ToggleUnicode(page);
    if (!ContainsNoCase(page, "charset=unicode"))
        QL_FUZZ_CHECK(ToggleUnicode(toggled) == JoinPageLines(SplitPageLines(page)));
    CleanUpPageText(page);

    PagePreparation options{(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, (flags >> 3) % 3};
    // A page is rewritten only when its text (as CR LF lines) changes length.
    if (auto prepared = PreparePageText(page, options))
        QL_FUZZ_CHECK(prepared->size() != JoinPageLines(SplitPageLines(page)).size());

    // The clip lies where the append says, and is found there again.
    const std::size_t half = page.size() / 2;
    const PageAppend appended = AppendClipToPage(page.substr(0, half), page.substr(half));
    QL_FUZZ_CHECK(appended.fragmentBegin <= appended.fragmentEnd && appended.fragmentEnd <= appended.text.size());
    const std::string fragment = appended.text.substr(appended.fragmentBegin,
                                                      appended.fragmentEnd - appended.fragmentBegin);
    if (!fragment.empty())
        QL_FUZZ_CHECK(LocateFragment(appended.text, fragment, appended.fragmentBegin) == appended.fragmentBegin);

    // What the engine's JSON gives comes out the same when encoded and read again.
    if (auto value = json::Parse(page)) {
        const std::string encoded = json::Encode(*value);
        auto again = json::Parse(encoded);
        QL_FUZZ_CHECK(again && json::Encode(*again) == encoded);
    }
    return 0;
}
