// The browser host's side of the shell-verb DDE conversation.
#include "components/browserhost/WebHostCore.h"

#include <strings.h>

namespace ql {

namespace {

bool SameNameNoCase(const std::string& a, const std::string& b)
{
    return !a.empty() && a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

bool TWebHostCore::DdeInitiate(const std::string& application, const std::string& topic, const DdeClient& client)
{
    // Before anything of ours is read: a conversation runs on our thread only. Other threads of
    // this process get no answer; other processes' messages arrive here through our DdeWindow.
    if (std::this_thread::get_id() != thread_ || (!client.otherProcess && client.thread != thread_))
        return false;
    if (!EnableDDE || ShellExecuteBusy)
        return false;
    std::string app, top;
    if (application == DdeVerbs.HtmlDdeApplication) {
        HtmlConversation = true;
        app = DdeVerbs.HtmlDdeApplication;
        top = DdeVerbs.HtmlDdeTopic;
    } else {
        HtmlConversation = false;
        app = DdeVerbs.FolderDdeApplication;
        top = DdeVerbs.FolderDdeTopic;
    }
    // Empty names are no names: such a server never answers.
    return SameNameNoCase(app, application) && SameNameNoCase(top, topic);
}

bool TWebHostCore::ShellLaunch(const TFolderCommand& command)
{
    // The desktop has no find verb of its own: explore and find both open the folder in the
    // file manager.
    std::string path = command.path;
    if (path.empty() && command.list)
        path = PathOfItemIdList(*command.list);
    if (path.empty())
        return false;
    ShellExecuteBusy = true;
    launcher_.OpenWithDesktop(path);
    ShellExecuteBusy = false;
    return true;
}

bool TWebHostCore::DdeExecute(const std::string& command)
{
    if (HtmlConversation) {
        NavigateToUrl(HtmlCommandUrl(command));
        return true;
    }
    TFolderCommand c = ParseFolderCommand(command);
    if (!c.wellFormed)
        return false;
    // A request that names nothing we can open is acknowledged negatively, so the shell does
    // not take it as carried out.
    bool done = false;
    switch (c.verb) {
    case 1:
        if (!c.path.empty()) {
            NavigateToUrl(c.path);
            done = true;
        } else if (c.list) {
            done = NavigateToItemIdList(c.list.get());
        }
        break;
    case 2:
    case 3:
        done = ShellLaunch(c);
        break;
    default:
        break;
    }
    FreeItemIdList(c.list);
    return done;
}

}  // namespace ql
