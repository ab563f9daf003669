#pragma once
// The controller record: everything the start-up, the update workers, the
// timer, the window commands and the page bridge share. The dialog owns one;
// which thread writes which field follows the hand-over rules of
// UpdateProgress (workers publish, the UI thread shows).
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "update/site/trust_anchor.h"
#include "update/site/update_documents.h"
#include "update/site/update_progress.h"

// How this run ends the process at the update's ends; chosen on the
// command line. The defaults are the window's: every end exits with 0 and
// the launcher waits for the page after completion.
struct EndPolicy {
  // End the process when the update completes or stops for good, instead of
  // waiting for the page; a completion still lets the page's first load be
  // read, for a bounded time, so its launch request is not lost.
  bool exitOnFinish = false;
  // The exit code of the failure ends (fatal messages, cut-off version).
  int failureExitCode = 0;
  // Handed to the launcher started again after a restart.
  std::string restartParameters;
  // A repair's run: the names (the installed manifest's) of the files a
  // check found damaged, missing or unreadable. The update then goes to the
  // newest release's manifest even when the game is that release, fetches
  // these files too, and ends as a failure unless the game verifies.
  std::optional<std::set<std::string>> repair;
  // A verify's run of a game that keeps no manifest: once the server
  // document is read, the installed release's manifest is fetched and kept,
  // and this checks the game against it (true: every file matches) instead
  // of an update.
  std::function<bool()> verifyFromSite;
};

struct LauncherState {
  // The installed version, from updatecfg.xml.
  std::string MainVersion;
  std::string SubVersion;
  std::string FileVersion;
  std::string PackageCode;
  std::string ProductName;
  std::string PackageName;
  std::string UpdateServerAddr;
  std::string WebAddr;
  std::string LoginServer;

  // Launcher options from rh_game.ini and cfg.ini.
  std::int32_t ForceUpdateVersion = 0;
  // Downloads take at most this many bytes per second; 0: no limit.
  std::uint64_t downloadRateLimit = 0;
  std::string AraeName;
  std::string pos;

  // From the server document.
  std::vector<VersionEntry> entries;
  std::string pageUrl;
  std::string WebAddr1;
  std::string MiniType;
  std::string MiniTargetFileName;
  std::string MiniSourceFileAddr;
  FileCheck MiniSourceFileCheck;
  std::string DumpFtpServer;
  std::string DumpFtpServerPort;
  std::string UpdateBlockAddr;

  // The document's entry of the installed version; null when the document
  // no longer lists it.
  const VersionEntry* ListedInstalledVersion() const {
    const auto entry = std::find_if(entries.begin(), entries.end(),
                                    [this](const VersionEntry& e) { return e.PackageCode == PackageCode; });
    return entry == entries.end() ? nullptr : &*entry;
  }

  // What the update is verified with; read by the first fetch of the
  // server document, before any worker starts.
  std::optional<TrustAnchor> trust;
  bool Verified() const { return trust && trust->Verified(); }

  // Workflow.
  bool needFullInstall = true;
  std::atomic<bool> selfUpdated{false};
  bool updateFinished = false;
  // The news page's first load has been read for a request.
  bool pageRead = false;
  // Status ticks spent after completion waiting for that first load.
  int pageWaitTicks = 0;
  bool cacheCleared = false;
  std::int32_t renameCounter = 0;
  std::string pendingWebRequest;
  // A launch or a close that came while an archive was unpacked: the timer
  // carries it out once the files are settled (UI thread only).
  std::optional<std::vector<std::string>> parkedLaunch;
  bool closeParked = false;
  // The close's question was answered and the full package's unpack stopped.
  bool fullPackageStopped = false;
  // The full package was stored under MiniTargetFileName in this run: the
  // clean-ups may delete it under one of the original program's
  // temporary names ("client.zip").
  std::atomic<bool> fullPackageDownloaded{false};
  std::optional<std::string> FullPackageMadeThisRun() const {
    if (!fullPackageDownloaded.load(std::memory_order_acquire)) return std::nullopt;
    return MiniTargetFileName;
  }
  // A crash dump is on its way to the collection server: a launch or an
  // end after the update waits for it (bounded by the upload's timeouts),
  // so that the process does not end mid-transfer.
  std::atomic<bool> crashDumpUploading{false};
  UpdateProgress progress;

  EndPolicy ends;
};
