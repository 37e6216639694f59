#include "app/collection/PageId.h"

#include "app/collection/TextUtil.h"

#include <sys/stat.h>

namespace ql {

namespace {

bool pathExists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool taken(const std::string& id, const TreeNode& node, const std::string& collectionDir)
{
    return !IsValidPageId(id) || node.Tree().UsesPageId(id, &node) || pathExists(PageFileName(collectionDir, id));
}

std::string cut(std::string_view text) { return Utf8CutBytes(Utf8Left(text, kPageIdMaxChars), kPageIdMaxBytes); }

}  // namespace

bool IsValidPageId(std::string_view id)
{
    if (id.empty() || id == "." || id == ".." || id == kImagesFolderName)
        return false;
    if (id.size() > kPageIdMaxBytes + 10)
        return false;
    for (char c : id)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

std::string CleanPageIdText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            continue;
        if (kPageIdRemovedChars.find(c) != std::string_view::npos)
            continue;
        out += c;
    }
    return out;
}

std::string PageFileName(const std::string& collectionDir, const std::string& pageId)
{
    return collectionDir + pageId + ".html";
}

std::string MakeNodeFileName(const TreeNode& node, const std::string& collectionDir, const std::string& shortDate)
{
    std::string t = CleanPageIdText(TrimControls(node.Text()));
    if (t.empty() || taken(t, node, collectionDir))
        t += Enclose("(", ReplaceAll(shortDate, "/", "-"), ")");
    t = cut(CleanPageIdText(t));
    const std::string base = t;
    for (unsigned long n = 2; taken(t, node, collectionDir); ++n)
        t = base + std::to_string(n);
    return t;
}

}  // namespace ql
