#include "app/cfarlaunch_app.h"

#include "app/cfarlaunch_dlg.h"

void CfarLaunchApp::InitInstance() {
  CfarLaunchDlg dialog(platform_, ends_, failureEcho_);
  dialog.OnInitDialog();
  const int closed = platform_.Run(dialog);
  // No file is cut mid-write: an unpack is stopped (a patch put back, a
  // full install left for the next start) before the process ends.
  UpdateProgress& progress = dialog.State().progress;
  progress.ClaimTheEnd([&progress](Unpacking) {
    progress.cancelInstall = true;
    return true;
  });
  // Detached workers still use the dialog's state: the process ends here,
  // before the dialog goes away.
  platform_.GetSystem().Exit(closed);
}
