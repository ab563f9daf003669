#include "app/cfarlaunch_dlg.h"

#include <cstdlib>

#include "app/base_configuration.h"
#include "app/game_options.h"
#include "app/page_bridge.h"
#include "app/progress_display.h"
#include "app/window_commands.h"
#include "base/init/ox_base.h"
#include "base/text/ox_unicode.h"
#include "net/crash_dump_upload.h"
#include "update/gamedir/temporary_files.h"
#include "update/gamedir/unpack_journal.h"
#include "update/launcher_messages.h"
#include "update/site/failure_log.h"
#include "update/site/game_files.h"
#include "update/update_workers.h"
#include "update/window_controls.h"

namespace {

constexpr int kIconResource = 128;
constexpr platform::Rect kNewsPanelShown{338, 162, 982, 534};

struct ControlPlacement {
  int id;
  platform::Rect rect;
  bool visible;
};

const ControlPlacement kPlacements[] = {
    {controls::Background, {0, 0, 1034, 686}, true},
    {controls::NewsPanel, {374, 198, 374, 198}, true},
    {controls::SecondBrowser, {126, 344, 126, 344}, true},
    {controls::CurrentVersionLabel, {809, 625, 975, 640}, true},
    {controls::LatestVersionLabel, {809, 608, 975, 623}, true},
    {controls::StatusLabel, {430, 542, 640, 557}, true},
    {controls::ProgressControl, {481, 574, 481, 574}, true},
    {controls::PercentLabel, {910, 543, 940, 570}, true},
    {controls::UnusedStatic, {770, 624, 910, 644}, false},
    {controls::UnusedPicture, {503, 605, 658, 627}, false},
    {controls::UnusedCheckBox, {747, 626, 760, 639}, false},
};

// Images in the order the skin takes them: normal, pressed, hover (the
// artwork draws 2022/2039 darker, as pressed, and 2023/2040 lighter).
struct SkinButton {
  int id;
  platform::Rect rect;
  int normal;
  int pressed;
  int hover;
};

const SkinButton kButtons[] = {
    {controls::CloseButton, {985, 130, 1010, 155}, 2021, 2022, 2023},
    {controls::MinimiseButton, {957, 130, 982, 155}, 2038, 2039, 2040},
    {controls::ClearCacheButton, {887, 130, 955, 155}, 2077, 2077, 2077},
    {controls::ProgressBarButton, controls::ProgressBarRect, controls::DownloadBarImage, controls::DownloadBarImage,
     controls::DownloadBarImage},
};

void StyleLabel(platform::Window& window, int id, platform::Colour colour, int weight) {
  window.SetLabelColour(id, colour);
  window.SetLabelTransparent(id, true);
  window.SetLabelFont(id, Text(LauncherText::LabelFont), 13, weight);
}

std::string VersionText(LauncherText prefix, const std::string& main, const std::string& sub, const std::string& file) {
  return Text(prefix) + main + "." + sub + "." + file;
}

}  // namespace

CfarLaunchDlg::CfarLaunchDlg(platform::Platform& platform, EndPolicy ends,
                             ox_base::SmartPtr<ox_base::OxLogOutput> failureEcho)
    : platform_(platform), failureEcho_(std::move(failureEcho)) {
  state_.ends = std::move(ends);
}

CfarLaunchDlg::~CfarLaunchDlg() {
  if (dumpUploadWorker_.joinable()) {
    dumpUploadWorker_.join();
  }
}

int CfarLaunchDlg::OnInitDialog() {
  platform::Window& window = platform_.GetWindow();
  LayOutControls();
  window.SetCaption(Text(LauncherText::Caption));
  if (!ox_base::oxBaseInit(kBaseConfiguration, nullptr, 0)) {
    return 0;
  }
  OpenFailureLog(failureEcho_);
  window.SetIcon(kIconResource);
  window.SetupProgressControl(platform::Rgb(14, 5, 29), platform::Rgb(250, 240, 10), 0, 0);
  SetProgress(window, 0);
  SkinControls();

  ReadLocalFiles();
  // Recorded before the worker starts: its write-back reads the flag.
  if (state_.ForceUpdateVersion != 1 && FileExists("QZ_game.pkg")) {
    MarkPackageSeen(state_);
  }
  ShowVersionLabels();
  // The window is drawn before any network wait: the fetch runs on the
  // worker and the timer shows what waits for its document.
  if (!state_.UpdateServerAddr.empty()) {
    window.SetLabelText(controls::StatusLabel, Text(LauncherText::StatusFetchingServerConfig));
    StartUpdate(state_, platform_);
  }
  platform_.GetUiThread().StartTimer(kStatusTimer, kStatusTimerPeriodMs);
  return 1;
}

void CfarLaunchDlg::LayOutControls() {
  platform::Window& window = platform_.GetWindow();
  for (const ControlPlacement& placement : kPlacements) {
    window.PlaceControl(placement.id, placement.rect, placement.visible);
  }
}

void CfarLaunchDlg::SkinControls() {
  platform::Window& window = platform_.GetWindow();
  StyleLabel(window, controls::PercentLabel, platform::Rgb(255, 255, 255), 80);
  StyleLabel(window, controls::StatusLabel, platform::Rgb(255, 255, 255), 80);
  for (const SkinButton& button : kButtons) {
    window.CreateSkinButton(button.id, button.rect, button.normal, button.pressed, button.hover);
  }
}

void CfarLaunchDlg::ReadLocalFiles() {
  ReadGameOptions(state_);
  ReadInstallerTag(state_);
  // A full install that did not finish (a crash, a power cut) may have
  // written the client already: its marker says to install again.
  UpdateConfig config;
  if (!LoadUpdateConfig("updatecfg.xml", config)) {
    LogFailure(kVersionDocumentName, "",
               IsPlainVersionDocument(kVersionDocumentName)
                   ? "plain XML: the launcher reads it in its stored (Base64) form; store it with farcfg encode"
                   : "missing or unreadable");
    platform_.GetDialogs().ShowMessage(Text(LauncherText::LocalConfigUnreadable));
    platform_.GetSystem().Exit(state_.ends.failureExitCode);
  }
  // A run killed in an entry left its journal: the game becomes the
  // release its record names before anything looks at it.
  SettleUnfinishedUnpack(config.PackageCode);
  RemoveLeftoversOfEarlierRuns();
  // A repair fetches a missing client from the manifest, with the rest; a
  // verify reports it missing.
  state_.needFullInstall = (!FileExists(kClientProgram) && !state_.ends.repair && !state_.ends.verifyFromSite) ||
                           FileExists(kFullInstallMarker);
  state_.MainVersion = config.MainVersion;
  state_.SubVersion = config.SubVersion;
  state_.FileVersion = config.FileVersion;
  state_.PackageCode = config.PackageCode;
  state_.ProductName = config.ProductName;
  state_.UpdateServerAddr = config.UpdateServerAddr;
  state_.PackageName = config.PackageName;
  state_.WebAddr = config.WebAddr;
  state_.LoginServer = config.LoginServer;
}

void CfarLaunchDlg::ShowServerDocumentOnce() {
  if (documentShown_ || !state_.progress.documentRead.load(std::memory_order_acquire)) {
    return;
  }
  documentShown_ = true;
  platform_.GetWebPanel().Navigate(state_.pageUrl);
  ShowLatestVersion();
  if (state_.AraeName.empty()) {
    StartCrashDumpUpload();
  }
}

void CfarLaunchDlg::StartCrashDumpUpload() {
  const std::string server = state_.DumpFtpServer;
  const int port = std::atoi(state_.DumpFtpServerPort.c_str());
  // An FTP server may be as silent as any: the upload never holds the window.
  state_.crashDumpUploading.store(true, std::memory_order_release);
  dumpUploadWorker_ = std::thread([this, server, port] {
    UploadCrashDump(server, port);
    state_.crashDumpUploading.store(false, std::memory_order_release);
  });
}

void CfarLaunchDlg::ShowVersionLabels() {
  platform::Window& window = platform_.GetWindow();
  StyleLabel(window, controls::CurrentVersionLabel, platform::Rgb(255, 183, 49), 100);
  StyleLabel(window, controls::LatestVersionLabel, platform::Rgb(255, 183, 49), 100);
  window.SetLabelText(controls::CurrentVersionLabel, VersionText(LauncherText::CurrentVersionPrefix, state_.MainVersion,
                                                                 state_.SubVersion, state_.FileVersion));
  ShowLatestVersion();
}

void CfarLaunchDlg::ShowLatestVersion() {
  const VersionEntry latest = state_.entries.empty() ? VersionEntry() : state_.entries.back();
  platform_.GetWindow().SetLabelText(controls::LatestVersionLabel,
                                     VersionText(LauncherText::LatestVersionPrefix, latest.MainVersion,
                                                 latest.SubVersion, latest.FileVersion));
}

void CfarLaunchDlg::OnTimer(int timerId) {
  if (timerId != kStatusTimer) {
    return;
  }
  ShowServerDocumentOnce();
  FinishParkedClose(state_, platform_);
  StartParkedLaunch(state_, platform_);
  OnStatusTimer(state_, platform_, PageRequests());
}

void CfarLaunchDlg::OnMessage(std::uint32_t message, std::uintptr_t, std::intptr_t lParam) {
  if (message == platform::WM_DOWNLOAD_PROGRESS) {
    ShowDownloadProgress(state_.progress, platform_.GetWindow(), static_cast<int>(lParam));
  } else if (message == platform::WM_UPDATE_COMPLETED) {
    ShowServerDocumentOnce();
    OnUpdateCompleted(state_, platform_, PageRequests());
  }
}

PageRequestHandler CfarLaunchDlg::PageRequests() {
  return [this](const std::string& pageText) { HandlePageRequest(state_, platform_, pageText); };
}

void CfarLaunchDlg::OnCommand(int controlId) { OnWindowCommand(state_, platform_, controlId); }

void CfarLaunchDlg::OnPageDownloadComplete() {
  platform_.GetWindow().PlaceControl(controls::NewsPanel, kNewsPanelShown, true);
}

void CfarLaunchDlg::OnPageNavigateComplete() {
  const std::string text = ox_base::Utf8ToCodePage(platform_.GetWebPanel().VisibleText(), ox_base::kLauncherCodePage);
  state_.pageRead = true;
  if (!text.empty()) {
    HandlePageRequest(state_, platform_, text);
  }
}
