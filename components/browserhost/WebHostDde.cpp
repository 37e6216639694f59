#include "components/browserhost/WebHostDde.h"
#include "components/browserhost/WebHostDdeWindow.h"

#include "foundation/VekBaseClass.h"
#include "platform/core/SafeFile.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <mutex>
#include <strings.h>

namespace ql {

TDdeVerbs DdeVerbs;
bool HtmlConversation = false;
bool ShellExecuteBusy = false;

namespace {

bool IsSignOrDigit(char c) { return c == '+' || c == '-' || (c >= '0' && c <= '9'); }

// A signed 32-bit decimal number, the whole text.
std::optional<std::int32_t> ToInt32(const std::string& text)
{
    std::string t = text;
    if (!t.empty() && t[0] == '+')
        t.erase(0, 1);
    std::int32_t v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return v;
}

// Positions of the commas that separate arguments: those outside the first quoted text.
std::vector<std::size_t> ArgumentCommas(const std::string& command)
{
    std::vector<std::size_t> commas;
    std::size_t open = command.find('"');
    std::size_t close = open == std::string::npos ? std::string::npos : command.find('"', open + 1);
    for (std::size_t i = 0; i < command.size(); ++i) {
        if (command[i] != ',')
            continue;
        bool quoted = open != std::string::npos && i > open && (close == std::string::npos || i < close);
        if (!quoted)
            commas.push_back(i);
    }
    return commas;
}

// The run of sign and digit characters starting at the first such character at or after `from`.
std::optional<std::pair<std::size_t, std::string>> NumberRun(const std::string& text, std::size_t from)
{
    std::size_t start = from;
    while (start < text.size() && !IsSignOrDigit(text[start]))
        ++start;
    if (start >= text.size())
        return std::nullopt;
    std::size_t end = start;
    while (end < text.size() && IsSignOrDigit(text[end]))
        ++end;
    return std::make_pair(end, text.substr(start, end - start));
}

struct SharedBlocks {
    std::mutex mutex;
    std::map<std::pair<std::int32_t, std::int32_t>, std::vector<std::uint8_t>> blocks;
    std::int32_t next = 1;
};
SharedBlocks& Blocks()
{
    static SharedBlocks b;
    return b;
}

struct ServerList {
    std::mutex mutex;
    std::vector<DdeServer*> servers;
    std::thread::id owner;  // the thread the servers live on, set by the first registration
};
ServerList& Servers()
{
    static ServerList s;
    return s;
}

// The text between the first `open` and the next `close` after it; "" when either is missing.
std::string Between(const std::string& text, char open, char close)
{
    std::size_t start = text.find(open);
    if (start == std::string::npos)
        return "";
    std::size_t end = text.find(close, start + 1);
    if (end == std::string::npos)
        return "";
    return text.substr(start + 1, end - start - 1);
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix)
{
    return s.size() >= suffix.size() && strcasecmp(s.c_str() + s.size() - suffix.size(), suffix.c_str()) == 0;
}

}  // namespace

void ReadDdeVerbs()
{
    auto read = [](const char* key) { return ReadRegString(RegRoot::ClassesRoot, key, ""); };
    DdeVerbs.HtmlDdeApplication = read("htmlfile\\shell\\open\\ddeexec\\application");
    DdeVerbs.HtmlDdeTopic = read("htmlfile\\shell\\open\\ddeexec\\topic");
    DdeVerbs.FolderDdeApplication = read("Folder\\shell\\open\\ddeexec\\application");
    DdeVerbs.FolderDdeTopic = read("Folder\\shell\\open\\ddeexec\\topic");
    DdeVerbs.OpenVerb = DdeVerbOfCommand(read("Folder\\shell\\open\\ddeexec"));
    DdeVerbs.ExploreVerb = DdeVerbOfCommand(read("Folder\\shell\\explore\\ddeexec"));
    DdeVerbs.FindVerb = DdeVerbOfCommand(read("Directory\\shell\\find\\ddeexec"));
}

std::string DdeVerbOfCommand(const std::string& command) { return Between(command, '[', '('); }

int ParseVerb(const std::string& command)
{
    std::string verb = DdeVerbOfCommand(command);
    if (verb.empty())
        return 0;
    if (verb == DdeVerbs.OpenVerb)
        return 1;
    if (verb == DdeVerbs.ExploreVerb)
        return 2;
    if (verb == DdeVerbs.FindVerb)
        return 3;
    return 0;
}

std::string ParsePath(const std::string& command) { return Between(command, '"', '"'); }

ParsedItemIdList ParseItemIdList(const std::string& command)
{
    ParsedItemIdList result;
    auto commas = ArgumentCommas(command);
    if (commas.empty())
        return result;
    auto n1 = NumberRun(command, commas[0] + 1);
    if (!n1) {
        result.wellFormed = false;
        return result;
    }
    auto handle = ToInt32(n1->second);
    if (!handle) {
        result.wellFormed = false;
        return result;
    }
    std::int32_t process = 0;
    std::size_t sep = command.find_first_of(":,", n1->first);
    if (sep != std::string::npos && command[sep] == ':') {
        auto p = NumberRun(command, sep + 1);
        auto pid = p ? ToInt32(p->second) : std::nullopt;
        if (!pid) {
            result.wellFormed = false;
            return result;
        }
        process = *pid;
    }
    if (process == 0)
        return result;  // an address in our process: never followed
    if (auto block = LockDdeBlock(*handle, process)) {
        result.list = CopyItemIdList(block->data(), block->size());
        if (!result.list)
            result.wellFormed = false;
    }
    FreeDdeBlock(*handle, process);
    return result;
}

std::optional<int> ParseShowCommand(const std::string& command)
{
    auto commas = ArgumentCommas(command);
    if (commas.size() < 2)
        return 1;
    std::size_t at = commas[1] + 1;
    while (at < command.size() && !IsSignOrDigit(command[at]))
        ++at;
    if (at >= command.size())
        return 1;
    if (command[at] == '+' || command[at] == '-')
        return std::nullopt;
    return command[at] - '0';
}

TFolderCommand ParseFolderCommand(const std::string& command)
{
    TFolderCommand c;
    c.verb = ParseVerb(command);
    if (c.verb == 0)
        return c;
    c.path = ParsePath(command);
    auto list = ParseItemIdList(command);
    c.list = std::move(list.list);
    auto show = ParseShowCommand(command);
    c.show = show.value_or(1);
    c.wellFormed = list.wellFormed && show.has_value();
    return c;
}

std::string HtmlCommandUrl(const std::string& command)
{
    if (command.empty() || command[0] != '"')
        return command;
    std::size_t close = command.find('"', 1);
    if (close == std::string::npos)
        return "";
    return command.substr(1, close - 1);
}

std::int32_t ShareDdeBlock(std::vector<std::uint8_t> bytes, std::int32_t processId)
{
    auto& b = Blocks();
    std::lock_guard lock(b.mutex);
    std::int32_t handle = b.next;
    b.next = b.next == INT32_MAX ? 1 : b.next + 1;
    b.blocks[{handle, processId}] = std::move(bytes);
    return handle;
}

std::optional<std::vector<std::uint8_t>> LockDdeBlock(std::int32_t handle, std::int32_t processId)
{
    auto& b = Blocks();
    std::lock_guard lock(b.mutex);
    auto it = b.blocks.find({handle, processId});
    if (it == b.blocks.end())
        return std::nullopt;
    return it->second;
}

bool FreeDdeBlock(std::int32_t handle, std::int32_t processId)
{
    auto& b = Blocks();
    std::lock_guard lock(b.mutex);
    return b.blocks.erase({handle, processId}) > 0;
}

void RegisterDdeServer(DdeServer* server)
{
    auto& s = Servers();
    std::lock_guard lock(s.mutex);
    if (s.servers.empty())
        s.owner = std::this_thread::get_id();
    else if (s.owner != std::this_thread::get_id())
        return;  // servers are called without the lock, so they all live on one thread
    if (server && std::find(s.servers.begin(), s.servers.end(), server) == s.servers.end())
        s.servers.push_back(server);
}

void UnregisterDdeServer(DdeServer* server)
{
    auto& s = Servers();
    std::lock_guard lock(s.mutex);
    s.servers.erase(std::remove(s.servers.begin(), s.servers.end(), server), s.servers.end());
}

DdeReply DdeExecuteCommand(const std::string& application, const std::string& topic, const std::string& command)
{
    std::vector<DdeServer*> servers;
    {
        auto& s = Servers();
        std::lock_guard lock(s.mutex);
        // The servers run on their own thread only; from any other the conversation is refused
        // (a server could go while we called it).
        if (s.servers.empty() || s.owner != std::this_thread::get_id())
            return {};
        servers = s.servers;
    }
    DdeReply reply;
    for (DdeServer* server : servers) {
        {
            // A server may have gone while an earlier one ran.
            auto& s = Servers();
            std::lock_guard lock(s.mutex);
            if (std::find(s.servers.begin(), s.servers.end(), server) == s.servers.end())
                continue;
        }
        if (server->DdeInitiate(application, topic, std::this_thread::get_id())) {
            reply.answered = true;
            reply.ack = server->DdeExecute(command);
            break;
        }
    }
    return reply;
}

std::string ExpandDdeTemplate(const std::string& templ, const std::string& path)
{
    std::string out;
    for (std::size_t i = 0; i < templ.size(); ++i) {
        if (templ[i] == '%' && i + 1 < templ.size()) {
            char c = templ[i + 1];
            if (c == '1' || c == 'l' || c == 'L') {
                out += path;
                ++i;
                continue;
            }
            if (c == 'I') {
                out += ":0";
                ++i;
                continue;
            }
            if (c == 'S') {
                out += '1';
                ++i;
                continue;
            }
        }
        out += templ[i];
    }
    return out;
}

bool DdeShellLauncher::Spawn(const std::vector<std::string>& argv) { return inner_.Spawn(argv); }

bool DdeShellLauncher::OpenWithDesktop(const std::string& urlOrPath)
{
    std::string key;
    if (DirectoryExists(urlOrPath))
        key = "Folder\\shell\\open\\ddeexec";
    else if (EndsWithNoCase(urlOrPath, ".html") || EndsWithNoCase(urlOrPath, ".htm"))
        key = "htmlfile\\shell\\open\\ddeexec";
    // The shell's own registration of the verb, read at each request as the shell does.
    std::string templ = key.empty() ? "" : ReadRegString(RegRoot::ClassesRoot, key, "");
    std::string application = templ.empty() ? "" : ReadRegString(RegRoot::ClassesRoot, key + "\\application", "");
    if (!application.empty() && !ShellExecuteBusy) {
        std::string topic = ReadRegString(RegRoot::ClassesRoot, key + "\\topic", "");
        std::string command = ExpandDdeTemplate(templ, urlOrPath);
        DdeReply reply = DdeExecuteCommand(application, topic, command);
        if (!reply.answered)
            reply = DdeExecuteInOtherProcesses(application, topic, command);
        if (reply.answered)
            return reply.ack;
    }
    return inner_.OpenWithDesktop(urlOrPath);
}

}  // namespace ql
