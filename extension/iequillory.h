#pragma once
// Tquillory, the automation object of the capture extension: Iquillory's three methods run one
// capture each; callers by name are answered from the type library's description.
#include "extension/Brimhook_TLB.h"
#include "extension/CapturePage.h"

namespace ql::brimhook {

inline constexpr com::HRESULT DISP_E_UNKNOWNINTERFACE = static_cast<com::HRESULT>(0x80020001u);

class Tquillory final : public com::ComObject<Iquillory> {
public:
    // Counts as a live object of the library while it exists (DllCanUnloadNow).
    explicit Tquillory(const CaptureServices& services);

    // Answers IUnknown, IDispatch and Iquillory.
    com::HRESULT QueryInterface(const com::IID& iid, void** object) override;

    // No type information objects are offered: the description is answered through the calls.
    com::HRESULT GetTypeInfoCount(std::uint32_t* count) override;
    com::HRESULT GetTypeInfo(std::uint32_t index, com::LCID lcid, com::ITypeInfo** info) override;
    // names[0] is a method, any further names its parameters (dispid = parameter position).
    com::HRESULT GetIDsOfNames(const com::IID& iid, const std::u16string* names, std::uint32_t count, com::LCID lcid,
                               com::DISPID* ids) override;
    // A failing method comes back as DISP_E_EXCEPTION with its result in excepInfo->scode.
    com::HRESULT Invoke(com::DISPID id, const com::IID& iid, com::LCID lcid, com::WORD flags, com::DISPPARAMS* params,
                        com::Variant* result, com::EXCEPINFO* excepInfo, std::uint32_t* argErr) override;

    // Each takes `iedoc` as the page's document for this call only: E_NOINTERFACE when it is
    // not one, and nothing of it is kept afterwards.
    com::HRESULT SaveSelection(com::IDispatch* iedoc) override;
    com::HRESULT SaveWhole(com::IDispatch* iedoc) override;
    com::HRESULT SaveFromButton(com::IDispatch* iedoc) override;

private:
    ~Tquillory() override;
    com::HRESULT Capture(com::IDispatch* iedoc, TCaptureMode mode);

    const CaptureServices& services_;
};

}  // namespace ql::brimhook
