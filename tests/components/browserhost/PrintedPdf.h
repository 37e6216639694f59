#pragma once
// What a printed PDF file says of its first page.
#include <cstdio>
#include <optional>
#include <string>

namespace ql::test {

// Whether the first page is wider than high; nullopt when the file has no page box.
inline std::optional<bool> PdfPageIsLandscape(const std::string& pdf)
{
    auto box = pdf.find("/MediaBox [");
    double x0 = 0, y0 = 0, w = 0, h = 0;
    if (box == std::string::npos || std::sscanf(pdf.c_str() + box + 11, "%lf %lf %lf %lf", &x0, &y0, &w, &h) != 4)
        return std::nullopt;
    return w > h;
}

}  // namespace ql::test
