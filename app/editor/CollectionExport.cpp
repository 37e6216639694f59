#include "app/editor/CollectionExport.h"

#include "app/collection/CollectionTree.h"
#include "app/collection/HtmlTags.h"
#include "platform/core/FileCopy.h"
#include "platform/core/IniFile.h"
#include "platform/core/SafeFile.h"
#include "platform/core/UrlText.h"

#include <filesystem>
#include <sys/stat.h>
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

}  // namespace

PageExporter::PageExporter(const ExportPaths& paths, std::string destDir)
    : paths_(paths), destDir_(WithSlash(std::move(destDir)))
{
    if (!destDir_.empty()) {
        collection_ = OpenFolder(paths_.collectionDir);
        dest_ = OpenFolder(destDir_);
    }
}

PageExporter::~PageExporter() = default;

std::string PageExporter::Copy(const TreeNode& node, std::string baseName)
{
    if (destDir_.empty() || !node.HasPageId())
        return {};
    const std::string& id = node.PageId();
    const std::string source = id + ".html";
    if (baseName.empty())
        baseName = id;
    const std::string target = baseName + ".html";
    if (!collection_ || !dest_) {
        failed_.push_back(destDir_ + target);
        return {};
    }
    // Into a fresh folder the page is simply copied; over an older file it is copied beside it
    // and renamed, so a failed copy (a full disk) never leaves half a page in place of an older
    // export. Exports are copies the user can make again: nothing is flushed.
    FileCopyResult copied = CopyToNewFile(collection_.get(), source, dest_.get(), target);
    if (copied == FileCopyResult::Exists) {
        struct stat from {
        }, to{};
        if (::fstatat(collection_.get(), source.c_str(), &from, 0) == 0 &&
            ::fstatat(dest_.get(), target.c_str(), &to, 0) == 0 && from.st_dev == to.st_dev && from.st_ino == to.st_ino)
            return destDir_ + target;  // exporting a page onto itself: it is already there
        copied = CopyReplacing(collection_.get(), source, dest_.get(), target);
    }
    if (copied == FileCopyResult::Failed)
        failed_.push_back(destDir_ + target);
    if (copied != FileCopyResult::Copied)
        return {};  // a node without a page file has nothing to copy
    CopyPictures(id);
    return destDir_ + target;
}

void PageExporter::CopyPictures(const std::string& pageId)
{
    if (!paths_.imagesIni)
        return;
    const std::vector<std::string> pictures = paths_.imagesIni->ReadSection(pageId);
    if (pictures.empty())
        return;
    if (!imagesOpened_) {
        imagesOpened_ = true;
        std::error_code ec;
        fs::create_directories(destDir_ + "!images/", ec);
        destImages_ = OpenFolder(destDir_ + "!images/");
        images_ = OpenFolder(paths_.imagesDir);
    }
    if (!destImages_) {
        failed_.push_back(destDir_ + "!images/");
        return;
    }
    if (!images_)
        return;  // no pictures to copy
    for (const std::string& name : pictures) {
        // Picture names come from a file another program may edit: only plain names. A picture
        // already at the target (or a link there) stays; a missing one is skipped.
        if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
            continue;
        if (CopyToNewFile(images_.get(), name, destImages_.get(), name) == FileCopyResult::Failed)
            failed_.push_back(destDir_ + "!images/" + name);
    }
}

std::string CopyPageTo(const ExportPaths& paths, std::string destDir, const TreeNode& node, std::string baseName,
                       std::vector<std::string>* failed)
{
    PageExporter exporter(paths, std::move(destDir));
    std::string written = exporter.Copy(node, std::move(baseName));
    if (failed)
        *failed = exporter.FailedCopies();
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
    if (!wholeTree_)
        exporter_ = std::make_unique<PageExporter>(paths_, exportDir_);
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
        target = NamePart(exporter_->Copy(node));
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

std::vector<std::string> IndexPageWriter::FailedCopies() const
{
    return exporter_ ? exporter_->FailedCopies() : std::vector<std::string>();
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
