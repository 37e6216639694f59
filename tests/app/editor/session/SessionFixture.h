#pragma once
// A collection folder in a temp dir with a page session, a clip intake and fake ports around them.
#include "app/collection/PageId.h"
#include "app/editor/session/ClipIntake.h"
#include "app/editor/session/PageSession.h"
#include "platform/core/IniFile.h"
#include "tests/app/editor/session/FakePorts.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace ql::test {

// The tree's shape: each node's caption after as many dashes as its level, a blank after each.
inline std::string TreeShape(const CollectionTree& tree)
{
    std::string out;
    tree.ForEach([&](TreeNode& n) { out += std::string(static_cast<std::size_t>(n.Level()), '-') + n.Text() + " "; });
    return out;
}

class SessionFixture : public ::testing::Test {
protected:
    TempDir temp;
    TSettings settings;
    std::string clipSourceUrl;
    std::unique_ptr<IniFile> ini;
    CollectionTree tree;
    FakeViews views;
    FakeWindow window;
    FakeEditorDialogs dialogs;
    FixedClock clock;
    std::map<std::string, std::string> cache;
    std::unique_ptr<PageSession> session;
    std::unique_ptr<ClipIntake> clips;

    SessionFixture()
    {
        settings.CollectionDir = temp.dir() + "Collection/";
        settings.ImagesDir = settings.CollectionDir + "!images/";
        settings.DragCreateNew = true;
        settings.DragUseHtml = true;
        settings.DragUseUnicode = true;
        std::filesystem::create_directories(settings.CollectionDir);
        ini = std::make_unique<IniFile>(settings.CollectionDir + "images.ini");
        unsigned counter = 0;
        session = std::make_unique<PageSession>(
            CollectionContext{settings, clipSourceUrl, ini.get()}, tree, views, window, dialogs, clock,
            [this](const std::string& url, std::uint64_t, const std::string&) {
                auto it = cache.find(url);
                return it == cache.end() ? std::string() : it->second;
            },
            [counter]() mutable { return 100 + counter++; });
        clips = std::make_unique<ClipIntake>(*session, views, window, dialogs);
        views.session = session.get();
        window.session = session.get();
        tree.SetLoaded(true);
    }

    std::string Dir() const { return settings.CollectionDir; }
    std::string File(const std::string& id) const { return PageFileName(Dir(), id); }
    std::string Page(const std::string& id) const { return temp.read("Collection/" + id + ".html"); }
    void WritePage(const std::string& id, const std::string& text) const { temp.write("Collection/" + id + ".html", text); }

    TreeNode* AddPage(TreeNode* parent, const std::string& caption, const std::string& id, const std::string& text)
    {
        TreeNode* n = tree.AddNode(parent, Attach::LastChild, caption);
        tree.SetPageId(n, id);
        WritePage(id, text);
        return n;
    }
};

}  // namespace ql::test
