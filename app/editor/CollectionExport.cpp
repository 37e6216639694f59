#include "app/editor/CollectionExport.h"

#include "app/collection/CollectionTree.h"
#include "app/collection/HtmlTags.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"
#include "platform/core/UrlText.h"

#include <filesystem>
#include <system_error>

namespace ql {

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

// The file-name part of a path.
std::string NamePart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsUnreserved(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// Copies beside the target and renames over it, so a failed copy (a full disk) never leaves half
// a page in place of an older export. Exports are copies the user can make again: no fsync.
bool CopyFileReplacing(const std::string& from, const std::string& to)
{
    const std::string temp = to + ".export-part";
    std::error_code ec;
    if (fs::copy_file(from, temp, fs::copy_options::overwrite_existing, ec) && !ec) {
        fs::rename(temp, to, ec);
        if (!ec)
            return true;
    }
    fs::remove(temp, ec);
    return false;
}

}  // namespace

std::string CopyPageTo(const ExportPaths& paths, std::string destDir, const TreeNode& node, std::string baseName)
{
    if (destDir.empty() || !node.HasPageId())
        return {};
    destDir = WithSlash(std::move(destDir));
    const std::string& id = node.PageId();
    const std::string source = paths.collectionDir + id + ".html";
    if (!FileExists(source))
        return {};
    if (baseName.empty())
        baseName = id;
    const std::string written = destDir + baseName + ".html";
    std::error_code ec;
    if (fs::equivalent(source, written, ec))
        return written;  // exporting a page onto itself: it is already there
    if (!CopyFileReplacing(source, written))
        return {};
    if (paths.imagesIni) {
        const std::vector<std::string> pictures = paths.imagesIni->ReadSection(id);
        if (!pictures.empty()) {
            const std::string picturesDir = destDir + "!images/";
            fs::create_directories(picturesDir, ec);
            for (const std::string& name : pictures) {
                // Picture names come from a file another program may edit: only plain names.
                if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
                    continue;
                const std::string from = paths.imagesDir + name;
                const std::string to = picturesDir + name;
                if (!FileExists(from) || fs::exists(fs::symlink_status(to, ec)))
                    continue;
                fs::copy_file(from, to, fs::copy_options::skip_existing, ec);
            }
        }
    }
    return written;
}

SaveAsTarget SaveAsTargetFor(const std::string& confirmedPath)
{
    SaveAsTarget target;
    const auto slash = confirmedPath.rfind('/');
    target.folder = slash == std::string::npos ? std::string() : confirmedPath.substr(0, slash + 1);
    target.baseName = FileNameNoExt(NamePart(confirmedPath));
    target.written = target.folder + target.baseName + ".html";
    std::error_code ec;  // a folder that cannot be looked into holds nothing to replace
    target.replacesOther = target.written != confirmedPath && fs::exists(target.written, ec);
    return target;
}

std::string SaveAsProposal(const TreeNode& node) { return RemoveChars(node.Text(), kFileNameUnsafe); }

IndexPageWriter::IndexPageWriter(const ExportPaths& paths, bool wholeTree, std::string exportDir)
    : paths_(paths), wholeTree_(wholeTree), exportDir_(WithSlash(std::move(exportDir)))
{
    lines_.push_back("<html>");
}

void IndexPageWriter::AddIndexEntries(const TreeNode& node)
{
    if (onStatus)
        onStatus(node.Text());
    lines_.push_back("<blockquote>");
    std::string target;
    if (wholeTree_)
        target = node.HasPageId() ? node.PageId() + ".html" : std::string();
    else
        target = NamePart(CopyPageTo(paths_, exportDir_, node));
    lines_.push_back(LinkLine(target, node.Text()));
    for (std::size_t i = 0; i < node.ChildCount(); ++i)
        AddIndexEntries(*node.Child(i));
    lines_.push_back("</blockquote>");
}

void IndexPageWriter::AddTree(const CollectionTree& tree)
{
    for (std::size_t i = 0; i < tree.TopLevelCount(); ++i)
        AddIndexEntries(*tree.TopLevel(i));
}

StringList IndexPageWriter::Finish()
{
    lines_.push_back("</html>");
    return std::move(lines_);
}

std::string IndexPageWriter::LinkLine(const std::string& target, const std::string& title)
{
    // Titles come from web pages: an index opened in a browser must show them, not run them.
    return "<a href=\"" + PercentEscape(target, [](unsigned char c) { return !IsUnreserved(c); }) + "\">" +
           EscapeHtmlText(title) + "</a>";
}

std::string WholeTreeIndexFile(const std::string& collectionDir, const std::string& shortDate)
{
    return collectionDir + "index - " + RemoveChars(shortDate, kFileNameUnsafe) + ".html";
}

std::string SubtreeIndexFile(std::string exportDir, const std::string& title)
{
    return WithSlash(std::move(exportDir)) + "index - " + RemoveChars(title, kFileNameUnsafe) + ".html";
}

bool WriteIndexPage(const std::string& file, const StringList& lines)
{
    return WriteFileAtomic(file, JoinLinesCrLf(lines));
}

}  // namespace ql
