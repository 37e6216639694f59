// Text files of VekBaseClass: lines split and joined with CR LF, whole texts saved and loaded.
// The capture extension compiles this file in as well, so it depends on platform/core only.
#include "foundation/VekBaseClass.h"

#include "platform/core/SafeFile.h"

namespace ql {

StringList SplitLines(std::string_view text)
{
    StringList lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLinesCrLf(const StringList& lines)
{
    std::size_t total = 0;
    for (const auto& l : lines)
        total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

bool SaveTextToFile(const std::string& text, const std::string& fileName)
{
    return WriteFileAtomic(fileName, JoinLinesCrLf(SplitLines(text)));
}

void LoadTextFromFile(const std::string& fileName, int index, std::string& text)
{
    text.clear();
    auto bytes = ReadFileBytes(fileName);
    if (!bytes)
        return;
    StringList lines = SplitLines(*bytes);
    if (index < 0)
        text = JoinLinesCrLf(lines);
    else if (static_cast<size_t>(index) < lines.size()) {
        text = lines[static_cast<size_t>(index)];
    }
}

}  // namespace ql
