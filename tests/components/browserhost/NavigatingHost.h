#pragma once
// A browser host without a window for tests: it has no document and records what it is asked
// to load, as text.
#include "components/browserhost/WebHostCore.h"

#include <string>
#include <vector>

namespace ql::test {

class NavigatingHost : public TWebHostCore {
public:
    using TWebHostCore::TWebHostCore;
    std::vector<std::string> navigated;
    com::ComPtr<com::IDispatch> Document() override { return nullptr; }

protected:
    void Navigate2(const com::Variant& target) override { navigated.push_back(target.ToUtf8()); }
};

}  // namespace ql::test
