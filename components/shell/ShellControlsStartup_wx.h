#pragma once
// Start-up of the shell controls in the program: the namespace's desktop services, the
// device-change broadcaster's way onto the GUI thread, and the shared state.
namespace ql::shellctl {

void StartShellControls();
void StopShellControls();  // also frees the device-change broadcaster with the last user

}  // namespace ql::shellctl
