#pragma once
// Pages leaving the collection as ordinary HTML files: one page with its pictures
// ("Save Homepage As..."), a subtree with an index page that links it ("Export Node (Include
// ChildNodes)"), and an index of the whole collection ("Create Index Html"). Index pages nest
// each node's children in "<blockquote>" elements.
#include "foundation/VekBaseClass.h"
#include "platform/core/UniqueFd.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ql {

class CollectionTree;
class IniFile;
class TreeNode;

struct ExportPaths {
    std::string collectionDir;           // trailing '/'
    std::string imagesDir;               // trailing '/'
    const IniFile* imagesIni = nullptr;  // a page's pictures: the keys of its section
};

// Copies pages with their pictures into one folder. The folders stay open while it lives, so
// a subtree of many pages costs little more than copying its files.
class PageExporter {
public:
    PageExporter(const ExportPaths& paths, std::string destDir);
    ~PageExporter();
    PageExporter(const PageExporter&) = delete;
    PageExporter& operator=(const PageExporter&) = delete;

    // Copies a node's page file to destDir + baseName + ".html" (an empty baseName is the page
    // id), replacing a file there, and its pictures into destDir + "!images/", never replacing a
    // picture already there. Returns the written page's path, or "" when nothing was written
    // (no folder, no page file, a failed copy).
    std::string Copy(const TreeNode& node, std::string baseName = {});
    // The pages and pictures that could not be copied so far (a full disk, a folder that cannot
    // be written); a page without a file, or a picture already at the target, is none of them.
    const std::vector<std::string>& FailedCopies() const { return failed_; }

private:
    void CopyPictures(const std::string& pageId);

    const ExportPaths& paths_;
    std::string destDir_;  // trailing '/'
    UniqueFd collection_, dest_, images_, destImages_;
    bool imagesOpened_ = false;
    std::vector<std::string> failed_;
};

// One page with a PageExporter of its own; `failed` receives its FailedCopies().
std::string CopyPageTo(const ExportPaths& paths, std::string destDir, const TreeNode& node, std::string baseName = {},
                       std::vector<std::string>* failed = nullptr);

// The characters a title loses before it names a file.
inline constexpr const char* kFileNameUnsafe = "\\/:*?\"<>|";

// "Save Homepage As...": the page is always written as ".html", whatever extension the user
// confirmed. `written` is the file that will be written; `replacesOther` says that it differs
// from the confirmed name and already exists, so the user must be asked first.
struct SaveAsTarget {
    std::string folder;    // trailing '/'
    std::string baseName;  // the confirmed name without its extension
    std::string written;   // folder + baseName + ".html"
    bool replacesOther = false;
};
SaveAsTarget SaveAsTargetFor(const std::string& confirmedPath);
// The name the save dialog proposes for a node.
std::string SaveAsProposal(const TreeNode& node);

// The index page of a run: "<html>", one nested entry per node, "</html>".
class IndexPageWriter {
public:
    // wholeTree: the index lies in the collection folder and links the pages in place;
    // otherwise each page is copied into `exportDir` (with its pictures) and linked there.
    IndexPageWriter(const ExportPaths& paths, bool wholeTree, std::string exportDir = {});

    std::function<void(const std::string&)> onStatus;  // the node being written

    void AddIndexEntries(const TreeNode& node);
    void AddTree(const CollectionTree& tree);  // every top-level node in order
    StringList Finish();                       // the whole page, "</html>" added
    // The copies of a subtree's run that failed (PageExporter::FailedCopies).
    std::vector<std::string> FailedCopies() const;

    // The link line of a node: title HTML-escaped, target percent-encoded.
    static std::string LinkLine(const std::string& target, const std::string& title);

private:
    const ExportPaths& paths_;
    bool wholeTree_;
    std::string exportDir_;
    std::unique_ptr<PageExporter> exporter_;  // for a subtree's run
    StringList lines_;
};

// The index file's name: CollectionDir + "index - " + the date (short format, unsafe
// characters removed) + ".html" for the whole tree; exportDir + "index - " + the title (unsafe
// characters removed) + ".html" for a subtree.
std::string WholeTreeIndexFile(const std::string& collectionDir, const std::string& shortDate);
std::string SubtreeIndexFile(std::string exportDir, const std::string& title);

// Writes the index lines (CR LF) atomically; false when the file could not be written.
[[nodiscard]] bool WriteIndexPage(const std::string& file, const StringList& lines);

}  // namespace ql
