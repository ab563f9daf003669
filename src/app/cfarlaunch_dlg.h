#pragma once
// The launcher's main window: lays itself out at start-up, starts the update
// and then only reacts to the timer, the progress message, its buttons and
// the news page.
#include <thread>

#include "app/progress_display.h"
#include "base/log/ox_log_output.h"
#include "base/objects/ox_smart_ptr.h"
#include "platform/seam.h"
#include "update/gamedir/launcher_state.h"

class CfarLaunchDlg : public platform::WindowEvents {
 public:
  // `failureEcho`, when given, also receives the lines of farLaunch.log
  // (the console prints them).
  explicit CfarLaunchDlg(platform::Platform& platform, EndPolicy ends = EndPolicy(),
                         ox_base::SmartPtr<ox_base::OxLogOutput> failureEcho = {});
  // The program never destroys the dialog (it ends through the seam's
  // exit); a dialog that does go away waits for its dump upload first.
  ~CfarLaunchDlg() override;

  // The start-up sequence; 1 after a complete start-up, 0 when the base
  // library could not be initialised.
  int OnInitDialog();

  void OnTimer(int timerId) override;
  void OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void OnCommand(int controlId) override;
  void OnPageDownloadComplete() override;
  void OnPageNavigateComplete() override;

  LauncherState& State() { return state_; }

 private:
  void LayOutControls();
  void SkinControls();
  void ReadLocalFiles();
  void ShowVersionLabels();
  void ShowLatestVersion();
  // Once the worker has read the server document: the news panel's
  // navigation, the newest version and the crash-dump upload.
  void ShowServerDocumentOnce();
  void StartCrashDumpUpload();
  // Where the status display hands a parked page request.
  PageRequestHandler PageRequests();

  platform::Platform& platform_;
  ox_base::SmartPtr<ox_base::OxLogOutput> failureEcho_;
  LauncherState state_;
  bool documentShown_ = false;
  std::thread dumpUploadWorker_;
};
