#pragma once
// Scopes of the shell list's window: the busy cursor and an update bracket, each undone when
// the scope ends, also by an exception.
#include "components/shell/ShellListController.h"

namespace ql::shellctl {

// Shows the busy cursor for a scope.
class Busy {
public:
    explicit Busy(ShellListView& view) : view_(view) { view_.SetBusy(true); }
    ~Busy() { view_.SetBusy(false); }

private:
    ShellListView& view_;
};

class UpdateBracket {
public:
    explicit UpdateBracket(ShellListView& view) : view_(view) { view_.BeginUpdate(); }
    ~UpdateBracket() { view_.EndUpdate(); }

private:
    ShellListView& view_;
};

}  // namespace ql::shellctl
