#pragma once
// A launcher controller on the recording fake of the platform, in a
// temporary game directory, against a real local update server.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "app/progress_display.h"
#include "base/init/ox_base.h"
#include "support/code_page_text.h"
#include "support/fake_platform.h"
#include "support/game_directory.h"
#include "support/recording_http_server.h"
#include "update/gamedir/launcher_state.h"
#include "update/published_document.h"
#include "update/site/failure_log.h"
#include "update/update_files.h"
#include "update/update_workers.h"

// Polls until the condition holds; false after a minute (generous:
// sanitizer builds on a busy machine are slow, and a pass returns at once).
inline bool WaitUntil(const std::function<bool()>& condition) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Starts the update of `state` as the window does and waits until its
// worker has read the server document (true) or has ended without one.
inline bool StartUpdateOf(LauncherState& state, platform::Platform& platform) {
  StartUpdate(state, platform);
  return WaitUntil([&state] { return state.progress.documentRead || !state.progress.workerRunning; }) &&
         state.progress.documentRead;
}

// Window events of a test without the dialog: UI-thread tasks run, posted
// messages are dropped.
class IgnoredEvents : public platform::WindowEvents {
 public:
  void OnTimer(int) override {}
  void OnMessage(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
  void OnCommand(int) override {}
  void OnPageDownloadComplete() override {}
  void OnPageNavigateComplete() override {}
};

class UpdateFixture : public ::testing::Test {
 protected:
  // A worker that ended the "process" may still be on its way out: the
  // state it clears last must outlive it.
  ~UpdateFixture() override {
    WaitForWorker();
    ox_base::oxBaseExit();
  }

  // farLaunch.log in the game directory, as the program opens it.
  void OpenTheFailureLog() {
    ASSERT_TRUE(ox_base::oxBaseInit("+[base]\nName = \"patch\"\n[base.engine]\n", nullptr, 0));
    OpenFailureLog({});
  }
  std::string FailureLog() const { return dir.Has("farLaunch.log") ? dir.Read("farLaunch.log") : ""; }

  // Publishes the server document and points the installed version at it.
  void Publish(const ServerDocument& document) {
    site.Put("/servercfg.xml", document.Text());
    installed.UpdateServerAddr = site.Url("/servercfg.xml");
  }

  // Writes updatecfg.xml and copies what start-up would take from it.
  void Install(bool clientPresent) {
    dir.Write("updatecfg.xml", StoredVersionDocument(installed));
    if (clientPresent) dir.Write("client.exe", "old client");
    state.MainVersion = installed.MainVersion;
    state.SubVersion = installed.SubVersion;
    state.FileVersion = installed.FileVersion;
    state.PackageCode = installed.PackageCode;
    state.UpdateServerAddr = installed.UpdateServerAddr;
    state.LoginServer = installed.LoginServer;
    state.needFullInstall = !clientPresent;
  }

  // Waits for the worker's end: its last touch of the shared state is over.
  bool WaitForWorker() {
    return WaitUntil([this] { return !state.progress.workerRunning; });
  }
  bool WaitForCompletion() { return WaitForWorker() && state.progress.completion.load() != Pending; }

  void Tick() {
    OnStatusTimer(state, platform, [this](const std::string& text) { replayed.push_back(text); });
  }

  // Runs what workers handed to the UI thread.
  void DeliverPosted() { platform.uiThread.DeliverPosted(events); }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const fake::Box& box : platform.dialogs.Boxes()) texts.push_back(box.text);
    return texts;
  }

  GameDirectory dir;
  RecordingHttpServer site;
  fake::FakePlatform platform;
  IgnoredEvents events;
  LauncherState state;
  LocalVersion installed;
  std::vector<std::string> replayed;
};
