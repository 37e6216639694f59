#pragma once
// The drag side of a shell list's or tree's window for tests: a clock the test sets, scroll
// steps and repaints recorded, a scripted drag loop, and the registered drop target kept so the
// test can drive it.
#include <functional>
#include <utility>
#include <vector>

#include "components/shell/ShellDragPort.h"

namespace ql::test {

class FakeShellDragPort : public shellctl::ShellDragPort {
public:
    std::uint32_t tick = 1000;
    int width = 300, height = 200;  // the client size; points are taken as client points
    std::vector<std::pair<int, int>> scrolls;
    int repaints = 0;
    bool dropRegistered = false;
    int registrations = 0;
    com::ComPtr<com::IDropTarget> registered;
    std::function<com::HRESULT(com::IDataObject*, com::IDropSource*, com::DWORD, com::DWORD*)> dragHandler;

    void ClientGeometry(com::POINTL pt, int& x, int& y, int& w, int& h) const override
    {
        x = pt.x;
        y = pt.y;
        w = width;
        h = height;
    }
    void ScrollOneStep(int dx, int dy) override { scrolls.emplace_back(dx, dy); }
    void RepaintNow() override { ++repaints; }
    std::uint32_t TickCount() const override { return tick; }
    com::HRESULT DoDragDrop(com::IDataObject* data, com::IDropSource* source, com::DWORD ok,
                            com::DWORD* effect) override
    {
        return dragHandler ? dragHandler(data, source, ok, effect) : com::DRAGDROP_S_CANCEL;
    }
    bool RegisterDropTarget(com::IDropTarget* target) override
    {
        registered = com::ComPtr<com::IDropTarget>(target);
        ++registrations;
        return dropRegistered = true;
    }
    void RevokeDropTarget() override
    {
        registered.reset();
        dropRegistered = false;
    }
};

}  // namespace ql::test
