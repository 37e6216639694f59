#pragma once
// Data transfer objects: the format record, the storage medium (a value holding the bytes), the
// data object and the format enumerator, in the slot order their callers expect.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/com/ComBase.h"

namespace ql::com {

using CLIPFORMAT = std::uint16_t;
using LONG = std::int32_t;

// Aspects.
inline constexpr DWORD DVASPECT_CONTENT = 1;
inline constexpr DWORD DVASPECT_THUMBNAIL = 2;
inline constexpr DWORD DVASPECT_ICON = 4;
inline constexpr DWORD DVASPECT_DOCPRINT = 8;

// Medium types (bits, so that a request may name several).
inline constexpr DWORD TYMED_NULL = 0;
inline constexpr DWORD TYMED_HGLOBAL = 1;
inline constexpr DWORD TYMED_FILE = 2;
inline constexpr DWORD TYMED_ISTREAM = 4;
inline constexpr DWORD TYMED_ISTORAGE = 8;
inline constexpr DWORD TYMED_GDI = 16;
inline constexpr DWORD TYMED_MFPICT = 32;
inline constexpr DWORD TYMED_ENHMF = 64;

// EnumFormatEtc directions.
inline constexpr DWORD DATADIR_GET = 1;
inline constexpr DWORD DATADIR_SET = 2;

inline constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x80040064u);
inline constexpr HRESULT DV_E_TYMED = static_cast<HRESULT>(0x80040069u);
inline constexpr HRESULT DV_E_LINDEX = static_cast<HRESULT>(0x80040068u);
inline constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = static_cast<HRESULT>(0x80040003u);
inline constexpr HRESULT DATA_S_SAMEFORMATETC = static_cast<HRESULT>(0x00040130u);

// The format record. A target device, when present, is kept as its own block of bytes (its
// first 32-bit field is the block size); empty means "no target device".
struct FORMATETC {
    CLIPFORMAT cfFormat = 0;
    std::vector<std::uint8_t> ptd;
    DWORD dwAspect = DVASPECT_CONTENT;
    LONG lindex = -1;
    DWORD tymed = TYMED_HGLOBAL;

    friend bool operator==(const FORMATETC&, const FORMATETC&) = default;
};

// The record every fetch of a global-memory format uses: no device, content, index -1.
inline FORMATETC HGlobalFormat(CLIPFORMAT cf) { return FORMATETC{cf, {}, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// The storage medium. Global memory is a byte block owned by the medium, so copying the medium
// copies the block and releasing it is clearing it. Other medium kinds are not carried.
struct STGMEDIUM {
    DWORD tymed = TYMED_NULL;
    std::vector<std::uint8_t> hGlobal;
    ComPtr<IUnknown> pUnkForRelease;

    std::size_t GlobalSize() const { return hGlobal.size(); }
    // The block as characters (for text formats).
    std::string_view Text() const { return {reinterpret_cast<const char*>(hGlobal.data()), hGlobal.size()}; }
};

void ReleaseStgMedium(STGMEDIUM& medium);

// Text stored in a block the way text formats keep it: the bytes up to the first NUL, or all of
// them when there is none.
std::string TextUpToNul(const STGMEDIUM& medium);
std::vector<std::uint8_t> ToBlock(std::string_view bytes);
// The text followed by one NUL, the shape of every text format we produce.
std::vector<std::uint8_t> ToTextBlock(std::string_view text);

class IAdviseSink;  // advise connections are never supported here; only named in signatures
class IEnumSTATDATA;

class IEnumFORMATETC : public IUnknown {
public:
    static constexpr IID IID_{0x00000103, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFORMATETC** ppenum) = 0;
};

class IDataObject : public IUnknown {
public:
    static constexpr IID IID_{0x0000010E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
    virtual HRESULT GetData(const FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT GetDataHere(const FORMATETC* format, STGMEDIUM* medium) = 0;
    virtual HRESULT QueryGetData(const FORMATETC* format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC* in, FORMATETC* out) = 0;
    virtual HRESULT SetData(const FORMATETC* format, STGMEDIUM* medium, bool release) = 0;
    virtual HRESULT EnumFormatEtc(DWORD direction, IEnumFORMATETC** ppenum) = 0;
    virtual HRESULT DAdvise(const FORMATETC* format, DWORD advf, IAdviseSink* sink, DWORD* connection) = 0;
    virtual HRESULT DUnadvise(DWORD connection) = 0;
    virtual HRESULT EnumDAdvise(IEnumSTATDATA** ppenum) = 0;
};

// An enumerator over a fixed list of records, shared with its clones (so a clone stays valid
// whoever is released first). Starts with one reference for the caller.
ComPtr<IEnumFORMATETC> MakeFormatEnumerator(std::vector<FORMATETC> formats);

// Fetches one global-memory format from a data object: the block, or nothing when the object
// does not give it (any failure, an exception included).
bool FetchHGlobal(IDataObject* data, CLIPFORMAT cf, std::vector<std::uint8_t>& out);

}  // namespace ql::com
