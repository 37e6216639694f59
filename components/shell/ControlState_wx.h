#pragma once
// What the shell list and the shell tree share about focus, work in progress and held-back drawing.
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

// Drawing held back for updates that nest: frozen at the first begin, thawed at the last end;
// an end without a begin does nothing.
class NestedFreeze {
public:
    explicit NestedFreeze(wxWindow& window) : window_(window) {}
    void Begin();
    void End();

private:
    wxWindow& window_;
    int depth_ = 0;
};

}  // namespace ql::shellctl
