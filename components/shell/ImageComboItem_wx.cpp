#include "components/shell/ImageComboItem_wx.h"

#include <typeinfo>

namespace ql::shellctl {

TSvImageComboItem* GetImageComboItem(wxItemContainer& combo, unsigned index)
{
    wxClientData* data = combo.GetClientObject(index);
    if (!data)
        return nullptr;
    return &dynamic_cast<TSvImageComboItem&>(*data);
}

}  // namespace ql::shellctl
