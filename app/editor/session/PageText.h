#pragma once
// What happens to a page's text when it is made current, and where an appended clip goes.
// Pages are handled as a list of lines ended by CR LF.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ql {

inline constexpr char kZeroMarginStyleLine[] = "<STYLE>P {MARGIN-BOTTOM: 0pt; MARGIN-TOP: 0pt}</STYLE>";
// Pages of this many lines or more are never converted from plain text.
inline constexpr std::size_t kPlainTextLineLimit = 200;

struct PagePreparation {
    bool autoChangeTxtToHtml = false;
    bool homepageImport = false;
    bool useDiv = false;
    int activeView = 0;  // EditorView
};

// The page's new text when preparation changes its length, else nullopt (the file stays as it
// is). Imported homepages lose "charset=unicode"; plain text becomes one "<br>" line per line
// (not in the Text view); a stray "?" before "<!DOCTYPE" goes; the HTML view with UseDiv gets
// the zero-margin paragraph style line first.
std::optional<std::string> PreparePageText(std::string_view fileBytes, const PagePreparation& options);

struct PageAppend {
    std::string text;               // the page with the clip, lines ended by CR LF
    std::size_t fragmentBegin = 0;  // where the clip lies in `text`
    std::size_t fragmentEnd = 0;
};

// Inserts the clip before "</body>", else before "</html>" (either in any case), else at the end.
PageAppend AppendClipToPage(std::string_view pageBytes, std::string_view content);

// Where `fragment` lies in `page`: at `expectedAt` when it is still there, else the occurrence
// nearest to it (preparing a page for a view may move its text); npos when it is gone or empty.
std::size_t LocateFragment(const std::string& page, const std::string& fragment, std::size_t expectedAt);

}  // namespace ql
