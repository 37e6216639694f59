#pragma once
// Tells when the selection or the editing state of a web view's document changes: the
// document's selection (in every document the view loads) and the typing attributes the engine
// keeps for an editable view (bold, italic, ... at the caret).
#include <functional>
#include <memory>

typedef struct _WebKitWebView WebKitWebView;

namespace ql::web {

class SelectionWatch {
public:
    // `changed` runs on the GUI thread inside the engine's signal, so it must not block.
    SelectionWatch(WebKitWebView* view, std::function<void()> changed);
    ~SelectionWatch();
    SelectionWatch(const SelectionWatch&) = delete;
    SelectionWatch& operator=(const SelectionWatch&) = delete;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;  // its address is the signals' data
};

}  // namespace ql::web
