// The other process of the DDE tests: opens a file or folder the way the shell does (through
// the DDE application registered for its verb), or holds one raw conversation.
//
//   ql_dde_client open <path>                       through DdeShellLauncher
//   ql_dde_client raw <application> <topic> <command>
//
// Exit status: 0 a server acknowledged positively, 1 negatively, 2 no server answered (for
// open: the desktop would have been asked instead), 3 wrong arguments.
#include "components/browserhost/WebHostDde.h"
#include "components/browserhost/WebHostDdeWindow.h"

#include <cstring>
#include <string>

namespace {

class NoDesktop : public ql::Launcher {
public:
    bool asked = false;
    bool Spawn(const std::vector<std::string>&) override { return asked = true, false; }
    bool OpenWithDesktop(const std::string&) override { return asked = true, false; }
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "open") == 0) {
        NoDesktop desktop;
        ql::DdeShellLauncher shell(desktop);
        bool ok = shell.OpenWithDesktop(argv[2]);
        return desktop.asked ? 2 : ok ? 0 : 1;
    }
    if (argc == 5 && std::strcmp(argv[1], "raw") == 0) {
        ql::DdeReply r = ql::DdeExecuteInOtherProcesses(argv[2], argv[3], argv[4]);
        return !r.answered ? 2 : r.ack ? 0 : 1;
    }
    return 3;
}
