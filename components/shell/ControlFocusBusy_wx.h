#pragma once
// What the shell list and the shell tree tell their controllers about focus and work in progress.
class wxWindow;

namespace ql::shellctl {

// The keyboard focus is on `control` or on a window of its own inside it (rows, label editor).
bool FocusWithin(const wxWindow& control);

// The busy cursor for work that nests: shown from the first start until the last end; an end
// without a start does nothing.
class NestedBusyCursor {
public:
    void Set(bool busy);

private:
    int depth_ = 0;
};

}  // namespace ql::shellctl
