#pragma once
// Drag and drop interfaces: the drop target a window registers and the drop source a drag
// starter supplies, with the key-state and effect values they exchange.
#include <cstdint>

#include "platform/core/com/ComBase.h"
#include "platform/core/com/DataObject.h"

namespace ql::com {

// Key state bits.
inline constexpr DWORD MK_LBUTTON = 0x0001;
inline constexpr DWORD MK_RBUTTON = 0x0002;
inline constexpr DWORD MK_SHIFT = 0x0004;
inline constexpr DWORD MK_CONTROL = 0x0008;
inline constexpr DWORD MK_MBUTTON = 0x0010;
inline constexpr DWORD MK_ALT = 0x0020;

// Drop effects.
inline constexpr DWORD DROPEFFECT_NONE = 0;
inline constexpr DWORD DROPEFFECT_COPY = 1;
inline constexpr DWORD DROPEFFECT_MOVE = 2;
inline constexpr DWORD DROPEFFECT_LINK = 4;
inline constexpr DWORD DROPEFFECT_SCROLL = 0x80000000u;

inline constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
inline constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
inline constexpr HRESULT DRAGDROP_E_NOTREGISTERED = static_cast<HRESULT>(0x80040100u);
inline constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = static_cast<HRESULT>(0x80040101u);
inline constexpr HRESULT DRAGDROP_E_INVALIDHWND = static_cast<HRESULT>(0x80040102u);

// A point in screen coordinates.
struct POINTL {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const POINTL&, const POINTL&) = default;
};

class IDropTarget : public IUnknown {
public:
    static constexpr IID IID_{0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) = 0;
    virtual HRESULT DragOver(DWORD keyState, POINTL pt, DWORD* effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) = 0;
};

class IDropSource : public IUnknown {
public:
    static constexpr IID IID_{0x00000121, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT QueryContinueDrag(bool escapePressed, DWORD keyState) = 0;
    virtual HRESULT GiveFeedback(DWORD effect) = 0;
};

}  // namespace ql::com
