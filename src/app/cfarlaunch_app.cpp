#include "app/cfarlaunch_app.h"

#include "app/cfarlaunch_dlg.h"

void CfarLaunchApp::InitInstance() {
  CfarLaunchDlg dialog(platform_, ends_);
  dialog.OnInitDialog();
  // Detached workers still use the dialog's state: the process ends here,
  // before the dialog goes away.
  platform_.GetSystem().Exit(platform_.Run(dialog));
}
