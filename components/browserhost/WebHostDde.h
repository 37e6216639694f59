#pragma once
// The shell-verb DDE service of the browser host: the names read from the registry, the
// command parsers, the conversation with the servers of this process and the in-process
// stand-in for the shell's shared memory blocks. Other processes reach a host through its
// DdeWindow (WebHostDdeWindow.h). A launcher that finds a DDE application registered for a verb
// asks the servers first (DdeShellLauncher).
#include "components/browserhost/WebHostPidls.h"
#include "platform/core/Launcher.h"

#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ql {

// The registered DDE names and verbs, read by ReadDdeVerbs (every browser host construction).
struct TDdeVerbs {
    std::string HtmlDdeApplication;
    std::string HtmlDdeTopic;
    std::string FolderDdeApplication;
    std::string FolderDdeTopic;
    std::string OpenVerb;
    std::string ExploreVerb;
    std::string FindVerb;
};
extern TDdeVerbs DdeVerbs;
// The conversation in progress is the HTML-file one (else the folder one); shared by all hosts.
extern bool HtmlConversation;
// Set while a host itself launches explore or find, so it does not answer the request that
// launch may cause.
extern bool ShellExecuteBusy;

// Reads the seven names from HKEY_CLASSES_ROOT (a missing key gives "").
void ReadDdeVerbs();
// The verb of a DDE command template or command: the text after the first "[" up to the
// first "(" after it; "" when either is missing.
std::string DdeVerbOfCommand(const std::string& command);

// Folder command parsers. The arguments are separated by commas outside the quoted path.
// 1 open, 2 explore, 3 find, 0 any other verb (or an empty one).
int ParseVerb(const std::string& command);
// The text between the first double quote and the next; "" when there is none.
std::string ParsePath(const std::string& command);
struct ParsedItemIdList {
    bool wellFormed = true;  // false: a number that is no signed 32-bit value, or a list block that is malformed
    PItemIdList list;        // nil when the command names none, names a block that is gone, or an address
};
// The second argument ":handle:processId" names a shared block holding the list; the block is
// copied (bounded) and freed. A bare number would be an address in our process: it is never
// used as one, the list is nil.
ParsedItemIdList ParseItemIdList(const std::string& command);
// The first sign or digit of the third argument, alone, as a number ("10" reads as 1); 1 when
// there is none; nullopt when that character is a lone sign.
std::optional<int> ParseShowCommand(const std::string& command);
struct TFolderCommand {
    int verb = 0;
    std::string path;
    PItemIdList list;
    int show = 1;
    bool wellFormed = true;
};
TFolderCommand ParseFolderCommand(const std::string& command);
// The URL of an HTML-file command: a leading double quote is dropped and the text cut at the
// next one (nothing when it does not close).
std::string HtmlCommandUrl(const std::string& command);

// The shell's shared memory blocks, in-process: a block is shared for a process id and named
// by a positive handle; locking copies it out, freeing removes it.
std::int32_t ShareDdeBlock(std::vector<std::uint8_t> bytes, std::int32_t processId);
std::optional<std::vector<std::uint8_t>> LockDdeBlock(std::int32_t handle, std::int32_t processId);
bool FreeDdeBlock(std::int32_t handle, std::int32_t processId);

// Who opens a conversation: a thread of this process, or another process of this user whose
// messages reach the server on the server's own thread (through its DdeWindow).
struct DdeClient {
    DdeClient(std::thread::id t) : thread(t) {}
    static DdeClient OtherProcess()
    {
        DdeClient c{std::thread::id()};
        c.otherProcess = true;
        return c;
    }
    std::thread::id thread;  // the client thread of this process
    bool otherProcess = false;
};

// One side of a conversation: answers an initiate for an application and topic from a client,
// then executes commands (true = positive acknowledgement).
class DdeServer {
public:
    virtual ~DdeServer() = default;
    virtual bool DdeInitiate(const std::string& application, const std::string& topic, const DdeClient& client) = 0;
    virtual bool DdeExecute(const std::string& command) = 0;
};
void RegisterDdeServer(DdeServer* server);
void UnregisterDdeServer(DdeServer* server);

struct DdeReply {
    bool answered = false;  // a server acknowledged the initiate
    bool ack = false;       // its acknowledgement of the command
};
// Offers the conversation to the servers of this process, in the order they registered; the
// first that acknowledges executes the command. Servers are registered, called and unregistered
// on one thread (the GUI thread): a call from another thread is not answered, and a
// registration from another thread is ignored.
DdeReply DdeExecuteCommand(const std::string& application, const std::string& topic, const std::string& command);

// A launcher that opens HTML files and folders the way the shell does: when HKEY_CLASSES_ROOT
// names a DDE application for the verb, the servers of this process are asked first, then the
// DDE windows of the user's other processes; `inner` opens what none of them answers.
class DdeShellLauncher : public Launcher {
public:
    explicit DdeShellLauncher(Launcher& inner) : inner_(inner) {}
    bool Spawn(const std::vector<std::string>& argv) override;
    bool OpenWithDesktop(const std::string& urlOrPath) override;

private:
    Launcher& inner_;
};
// The program's launcher: the desktop behind the shell's DDE verbs.
class SystemShellLauncher : public DdeShellLauncher {
public:
    SystemShellLauncher() : DdeShellLauncher(desktop_) {}

private:
    SystemLauncher desktop_;  // only bound to before it is made
};
// The command a DDE template gives for a path: %1, %l and %L become the path, %I the list
// argument (":0", no list), %S the show command 1; other text stays.
std::string ExpandDdeTemplate(const std::string& templ, const std::string& path);

}  // namespace ql
