#pragma once
// Raises a depth counter for the life of a scope, so that a step can tell it runs inside
// another one (a menu that is up, a drawing under way) even when that one unwinds.

namespace ql::shellctl {

class TScopedDepth {
public:
    explicit TScopedDepth(int& depth) : depth_(depth) { ++depth_; }
    ~TScopedDepth() { --depth_; }
    TScopedDepth(const TScopedDepth&) = delete;
    TScopedDepth& operator=(const TScopedDepth&) = delete;

private:
    int& depth_;
};

}  // namespace ql::shellctl
