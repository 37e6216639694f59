#pragma once
// The engine's page-setup dialog (the toolkit's own) and what automation does with it.
#include "platform/gui/WebEngineSettings.h"

#include <string>

class wxWindow;
typedef struct _GtkWindow GtkWindow;

namespace ql::web {

// Shows the page setup kept under `optionRoot` (EnginePageSetup.h; the toolkit's default layout
// when none is kept) and keeps what the user applies there. Modal; false when cancelled or the
// setup could not be kept.
bool RunPageSetupDialog(wxWindow* owner, const std::string& optionRoot);

// Fills the toolkit's page-setup dialog with `setup` (its orientation button clicked, the margins
// given to the layout it edits; it has no fields for them) and confirms it as soon as the toolkit
// is idle; false when `window` is no such dialog.
bool FillPageSetupDialog(GtkWindow* window, const PageSetup& setup);

// Moves a window left of the screen and makes it as small as it goes.
void MoveOutOfSight(GtkWindow* window);

}  // namespace ql::web
