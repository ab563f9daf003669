#pragma once
// A recording fake of the whole platform seam for controller tests: it
// remembers every window call, queues posted messages and UI-thread tasks
// until the test delivers them, answers message boxes from a script,
// captures navigations, program starts and browser opens, and turns
// System::Exit into a recorded platform::ExitRequested exception.
//
// The parts workers reach (dialogs, posting, shell, exit) are thread-safe
// and offer waits, so a test can wait for a worker's box or exit.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/seam.h"

namespace fake {

using platform::Colour;
using platform::Rect;
using platform::WindowEvents;

constexpr std::chrono::seconds kWaitLimit{10};

struct Placement {
  Rect rect;
  bool visible = false;
};

struct ButtonImages {
  int normal = 0;
  int pressed = 0;
  int hover = 0;
  bool operator==(const ButtonImages& o) const {
    return normal == o.normal && pressed == o.pressed && hover == o.hover;
  }
};

struct LabelFont {
  std::string face;
  int height = 0;
  int weight = 0;
};

struct ProgressSetup {
  Colour background = 0;
  Colour bar = 0;
  int minimum = 0;
  int maximum = 0;
};

// Records every call; UI thread only, like the real window.
class FakeWindow : public platform::Window {
 public:
  void PlaceControl(int id, const Rect& rect, bool visible) override;
  void CreateSkinButton(int id, const Rect& rect, int normalImage, int pressedImage, int hoverImage) override;
  void SetButtonImages(int id, int normalImage, int pressedImage, int hoverImage) override;
  void SetLabelText(int id, const std::string& text) override;
  void SetLabelColour(int id, Colour colour) override;
  void SetLabelTransparent(int id, bool transparent) override;
  void SetLabelFont(int id, const std::string& face, int height, int weight) override;
  void SetupProgressControl(Colour background, Colour bar, int minimum, int maximum) override;
  void SetProgressValue(int value) override;
  void SetCaption(const std::string& caption) override;
  void SetIcon(int iconResource) override;
  void Minimise() override;
  void Repaint(int id) override;
  void BringToFront() override;

  // The latest text of a label; empty when it never had one.
  std::string LabelText(int id) const;

  std::map<int, Placement> placements;          // latest placement by control id
  std::vector<int> createdButtons;              // in creation order
  std::map<int, ButtonImages> buttonImages;     // latest images by button id
  std::map<int, std::vector<std::string>> labelTexts;  // every text, in order
  std::map<int, Colour> labelColours;
  std::map<int, bool> labelTransparent;
  std::map<int, LabelFont> labelFonts;
  std::optional<ProgressSetup> progressSetup;
  std::vector<int> progressValues;
  std::string caption;
  int icon = 0;
  int minimiseCount = 0;
  int broughtToFront = 0;
  std::map<int, int> repaints;  // repaint count by control id
};

struct PostedMessage {
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// Timers are only recorded; posted messages and tasks wait in one queue,
// in posting order, until DeliverPosted.
class FakeUiThread : public platform::UiThread {
 public:
  void PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
  void StartTimer(int timerId, int periodMs) override;
  void StopTimer(int timerId) override;
  void RunOnUiThread(std::function<void()> task) override;

  // Delivers queued messages and runs queued tasks in order, including what
  // they queue in turn, until the queue is empty. Returns how many.
  int DeliverPosted(WindowEvents& events);
  // The messages waiting in the queue (tasks left out).
  std::vector<PostedMessage> PendingMessages() const;
  // Waits until at least `count` entries (messages or tasks) are queued.
  bool WaitForPending(size_t count, std::chrono::milliseconds limit = kWaitLimit) const;

  // Delivers one tick of a running timer; false when it is not running.
  bool FireTimer(WindowEvents& events, int timerId);
  bool IsTimerRunning(int timerId) const;
  // The period of a running timer in milliseconds; 0 when not running.
  int TimerPeriod(int timerId) const;

 private:
  struct Entry {
    PostedMessage message;
    std::function<void()> task;  // empty for a message
  };
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::deque<Entry> queue_;
  std::map<int, int> timers_;
};

enum class BoxKind { Message, OkCancel };

struct Box {
  BoxKind kind = BoxKind::Message;
  std::string text;
  bool answer = true;  // always true for a Message box
};

// Answers OK/Cancel questions from a script; thread-safe.
class FakeDialogs : public platform::Dialogs {
 public:
  void ShowMessage(const std::string& text) override;
  bool AskOkCancel(const std::string& text) override;

  // From now on a box asked for by another thread than the caller's (a
  // worker) is shown on the UI thread, as the window front end does: it
  // waits in `ui`'s queue until the test delivers it, and its worker waits
  // for that, for kWaitLimit at most. A box not shown in that time counts
  // as unserved (the window front end would wait for ever).
  void ServeWorkerBoxesOn(FakeUiThread& ui);
  int UnservedBoxes() const;

  // Queues answers for the next questions (true = OK).
  void ScriptAnswers(std::initializer_list<bool> answers);
  // The answer when the script has run out.
  void SetDefaultAnswer(bool answer);
  std::vector<Box> Boxes() const;
  // Waits until at least `count` boxes have been shown.
  bool WaitForBoxes(size_t count, std::chrono::milliseconds limit = kWaitLimit) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool Show(BoxKind kind, const std::string& text);
  bool Answer(BoxKind kind, const std::string& text);

  std::deque<bool> script_;
  bool defaultAnswer_ = true;
  std::vector<Box> boxes_;
  FakeUiThread* servingUi_ = nullptr;
  std::thread::id uiThread_;
  int unserved_ = 0;
};

// Captures navigations; the page text is set by the test.
class FakeWebPanel : public platform::WebPanel {
 public:
  void Navigate(const std::string& url) override;
  std::string VisibleText() override;

  // Makes `text` the visible text and reports a finished download and
  // navigation, as the real panel does when a page has loaded.
  void LoadPage(WindowEvents& events, const std::string& text);

  std::vector<std::string> navigations;
  std::string pageText;
};

struct ProgramStart {
  std::string program;
  std::string parameters;
};

// Captures program starts and browser opens; thread-safe.
class FakeShell : public platform::Shell {
 public:
  platform::StartResult StartProgram(const std::string& program, const std::string& parameters) override;
  bool OpenInBrowser(const std::string& url) override;

  // What StartProgram and OpenInBrowser answer (true by default); a failed
  // start gives the problem "refused by the test".
  void SetResult(bool result);
  std::vector<ProgramStart> Starts() const;
  std::vector<std::string> OpenedUrls() const;

 private:
  mutable std::mutex mutex_;
  bool result_ = true;
  std::vector<ProgramStart> starts_;
  std::vector<std::string> openedUrls_;
};

// Free bytes set by the test; Exit records and throws; thread-safe.
class FakeSystem : public platform::System {
 public:
  bool FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) override;
  // Records the code and throws platform::ExitRequested{code}. A worker
  // thread that may exit must catch it (the real exit ends every thread).
  [[noreturn]] void EndProcess(int code) override;

  // std::nullopt: the figure cannot be had.
  void SetFreeBytes(std::optional<std::uint64_t> freeBytes);
  std::vector<int> ExitCodes() const;
  // Waits for an Exit call; its code, or std::nullopt after the limit.
  std::optional<int> WaitForExit(std::chrono::milliseconds limit = kWaitLimit) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::optional<std::uint64_t> freeBytes_ = std::uint64_t{1} << 40;
  std::vector<int> exitCodes_;
};

class FakePlatform : public platform::Platform {
 public:
  platform::Window& GetWindow() override { return window; }
  platform::UiThread& GetUiThread() override { return uiThread; }
  platform::Dialogs& GetDialogs() override { return dialogs; }
  platform::WebPanel& GetWebPanel() override { return webPanel; }
  platform::Shell& GetShell() override { return shell; }
  platform::System& GetSystem() override { return system; }
  // Delivers what is queued, then acts as if the window manager closed the
  // window: returns `closeCode`.
  int Run(WindowEvents& events) override;

  FakeWindow window;
  FakeUiThread uiThread;
  FakeDialogs dialogs;
  FakeWebPanel webPanel;
  FakeShell shell;
  FakeSystem system;
  int closeCode = 0;
  int runs = 0;
};

}  // namespace fake
