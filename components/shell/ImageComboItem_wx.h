#pragma once
// The object of each entry of an image combo box: its depth in the folder hierarchy the combo
// shows, and a text.
#include <string>
#include <wx/clntdata.h>
#include <wx/ctrlsub.h>

namespace ql::shellctl {

class TSvImageComboItem : public wxClientData {
public:
    int Indent = 0;
    std::string Text;
};

// The entry's object; nil when it has none. An object of another class raises std::bad_cast.
TSvImageComboItem* GetImageComboItem(wxItemContainer& combo, unsigned index);

}  // namespace ql::shellctl
