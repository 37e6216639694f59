#pragma once
// A page session and its clip intake over the fake ports, as the session tests and the drop
// benchmarks set them up: the browser cache is the map `cache` from URL to file.
#include "app/editor/session/ClipIntake.h"
#include "app/editor/session/PageSession.h"
#include "platform/core/IniFile.h"
#include "tests/app/editor/session/FakePorts.h"

#include <map>
#include <memory>
#include <string>

namespace ql::test {

struct FakeSession {
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

    // Once `settings` name the collection folder: its "images.ini", the session and the intake.
    void OpenSession(RandomSource random = DefaultRandomSource())
    {
        ini = std::make_unique<IniFile>(settings.CollectionDir + "images.ini");
        session = std::make_unique<PageSession>(
            CollectionContext{settings, clipSourceUrl, ini.get()}, tree, views, window, dialogs, clock,
            [this](const std::string& url, std::uint64_t, const std::string&) {
                auto it = cache.find(url);
                return it == cache.end() ? std::string() : it->second;
            },
            std::move(random));
        clips = std::make_unique<ClipIntake>(*session, views, window, dialogs);
        views.session = session.get();
        window.session = session.get();
    }
};

}  // namespace ql::test
