#include "platform/core/com/DataObject.h"

#include <algorithm>
#include <cstring>

namespace ql::com {

void ReleaseStgMedium(STGMEDIUM& medium)
{
    medium.hGlobal.clear();
    medium.hGlobal.shrink_to_fit();
    medium.tymed = TYMED_NULL;
    medium.pUnkForRelease.reset();
}

std::string TextUpToNul(const STGMEDIUM& medium)
{
    std::string_view all = medium.Text();
    return std::string(all.substr(0, all.find('\0')));
}

std::vector<std::uint8_t> ToBlock(std::string_view bytes)
{
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> ToTextBlock(std::string_view text)
{
    std::vector<std::uint8_t> block(text.begin(), text.end());
    block.push_back(0);
    return block;
}

namespace {

class FormatEnumerator : public ComObject<IEnumFORMATETC> {
public:
    FormatEnumerator(std::shared_ptr<const std::vector<FORMATETC>> list, std::size_t pos)
        : list_(std::move(list)), pos_(pos)
    {
    }

    HRESULT Next(ULONG celt, FORMATETC* rgelt, ULONG* pceltFetched) override
    {
        if (!rgelt && celt > 0)
            return E_POINTER;
        ULONG n = 0;
        while (n < celt && pos_ < list_->size())
            rgelt[n++] = (*list_)[pos_++];
        if (pceltFetched)
            *pceltFetched = n;
        return n == celt ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG celt) override
    {
        std::size_t left = list_->size() - pos_;
        if (celt > left) {
            pos_ = list_->size();
            return S_FALSE;
        }
        pos_ += celt;
        return S_OK;
    }
    HRESULT Reset() override
    {
        pos_ = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumFORMATETC** ppenum) override
    {
        if (!ppenum)
            return E_POINTER;
        *ppenum = new FormatEnumerator(list_, pos_);
        return S_OK;
    }

private:
    std::shared_ptr<const std::vector<FORMATETC>> list_;
    std::size_t pos_;
};

}  // namespace

ComPtr<IEnumFORMATETC> MakeFormatEnumerator(std::vector<FORMATETC> formats)
{
    auto list = std::make_shared<const std::vector<FORMATETC>>(std::move(formats));
    return ComPtr<IEnumFORMATETC>::Adopt(new FormatEnumerator(std::move(list), 0));
}

bool FetchHGlobal(IDataObject* data, CLIPFORMAT cf, std::vector<std::uint8_t>& out)
{
    if (!data)
        return false;
    try {
        FORMATETC format = HGlobalFormat(cf);
        STGMEDIUM medium;
        if (data->GetData(&format, &medium) != S_OK || !(medium.tymed & TYMED_HGLOBAL))
            return false;
        out = std::move(medium.hGlobal);
        ReleaseStgMedium(medium);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace ql::com
