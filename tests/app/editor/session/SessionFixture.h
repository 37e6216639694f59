#pragma once
// A collection folder in a temp dir with a page session, a clip intake and fake ports around them.
#include "app/collection/PageId.h"
#include "tests/app/editor/session/FakeSession.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ql::test {

// The tree's shape: each node's caption after as many dashes as its level, a blank after each.
inline std::string TreeShape(const CollectionTree& tree)
{
    std::string out;
    tree.ForEach([&](TreeNode& n) { out += std::string(static_cast<std::size_t>(n.Level()), '-') + n.Text() + " "; });
    return out;
}

class SessionFixture : public ::testing::Test, public FakeSession {
protected:
    TempDir temp;

    SessionFixture()
    {
        settings.CollectionDir = temp.dir() + "Collection/";
        settings.ImagesDir = settings.CollectionDir + "!images/";
        settings.DragCreateNew = true;
        settings.DragUseHtml = true;
        settings.DragUseUnicode = true;
        std::filesystem::create_directories(settings.CollectionDir);
        unsigned counter = 0;
        OpenSession([counter]() mutable { return 100 + counter++; });
        tree.SetLoaded(true);
    }

    std::string Dir() const { return settings.CollectionDir; }
    std::string File(const std::string& id) const { return PageFileName(Dir(), id); }
    std::string Page(const std::string& id) const { return temp.read("Collection/" + id + ".html"); }
    void WritePage(const std::string& id, const std::string& text) const
    {
        temp.write("Collection/" + id + ".html", text);
    }

    TreeNode* AddPage(TreeNode* parent, const std::string& caption, const std::string& id, const std::string& text)
    {
        TreeNode* n = tree.AddNode(parent, Attach::LastChild, caption);
        tree.SetPageId(n, id);
        WritePage(id, text);
        return n;
    }
};

}  // namespace ql::test
