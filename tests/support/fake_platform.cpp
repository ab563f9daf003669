#include "support/fake_platform.h"

#include <memory>

namespace fake {

// FakeWindow

void FakeWindow::PlaceControl(int id, const Rect& rect, bool visible) { placements[id] = Placement{rect, visible}; }

void FakeWindow::CreateSkinButton(int id, const Rect& rect, int normalImage, int pressedImage, int hoverImage) {
  createdButtons.push_back(id);
  placements[id] = Placement{rect, true};
  buttonImages[id] = ButtonImages{normalImage, pressedImage, hoverImage};
}

void FakeWindow::SetButtonImages(int id, int normalImage, int pressedImage, int hoverImage) {
  buttonImages[id] = ButtonImages{normalImage, pressedImage, hoverImage};
}

void FakeWindow::SetLabelText(int id, const std::string& text) { labelTexts[id].push_back(text); }
void FakeWindow::SetLabelColour(int id, Colour colour) { labelColours[id] = colour; }
void FakeWindow::SetLabelTransparent(int id, bool transparent) { labelTransparent[id] = transparent; }

void FakeWindow::SetLabelFont(int id, const std::string& face, int height, int weight) {
  labelFonts[id] = LabelFont{face, height, weight};
}

void FakeWindow::SetupProgressControl(Colour background, Colour bar, int minimum, int maximum) {
  progressSetup = ProgressSetup{background, bar, minimum, maximum};
}

void FakeWindow::SetProgressValue(int value) { progressValues.push_back(value); }
void FakeWindow::SetCaption(const std::string& text) { caption = text; }
void FakeWindow::SetIcon(int iconResource) { icon = iconResource; }
void FakeWindow::Minimise() { ++minimiseCount; }
void FakeWindow::Repaint(int id) { ++repaints[id]; }
void FakeWindow::BringToFront() { ++broughtToFront; }

std::string FakeWindow::LabelText(int id) const {
  auto it = labelTexts.find(id);
  return it == labelTexts.end() || it->second.empty() ? std::string() : it->second.back();
}

// FakeUiThread

void FakeUiThread::PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back(Entry{PostedMessage{message, wParam, lParam}, nullptr});
  changed_.notify_all();
}

void FakeUiThread::RunOnUiThread(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back(Entry{PostedMessage{}, std::move(task)});
  changed_.notify_all();
}

void FakeUiThread::StartTimer(int timerId, int periodMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  timers_[timerId] = periodMs;
}

void FakeUiThread::StopTimer(int timerId) {
  std::lock_guard<std::mutex> lock(mutex_);
  timers_.erase(timerId);
}

int FakeUiThread::DeliverPosted(WindowEvents& events) {
  int delivered = 0;
  for (;;) {
    Entry entry;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (queue_.empty()) return delivered;
      entry = std::move(queue_.front());
      queue_.pop_front();
    }
    // Delivered without the lock: handlers post and start timers.
    if (entry.task) {
      entry.task();
    } else {
      events.OnMessage(entry.message.message, entry.message.wParam, entry.message.lParam);
    }
    ++delivered;
  }
}

std::vector<PostedMessage> FakeUiThread::PendingMessages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<PostedMessage> messages;
  for (const Entry& entry : queue_) {
    if (!entry.task) messages.push_back(entry.message);
  }
  return messages;
}

bool FakeUiThread::WaitForPending(size_t count, std::chrono::milliseconds limit) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return queue_.size() >= count; });
}

bool FakeUiThread::FireTimer(WindowEvents& events, int timerId) {
  if (!IsTimerRunning(timerId)) return false;
  events.OnTimer(timerId);
  return true;
}

bool FakeUiThread::IsTimerRunning(int timerId) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return timers_.count(timerId) != 0;
}

int FakeUiThread::TimerPeriod(int timerId) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = timers_.find(timerId);
  return it == timers_.end() ? 0 : it->second;
}

// FakeDialogs

void FakeDialogs::ShowMessage(const std::string& text) { Show(BoxKind::Message, text); }

bool FakeDialogs::AskOkCancel(const std::string& text) { return Show(BoxKind::OkCancel, text); }

bool FakeDialogs::Show(BoxKind kind, const std::string& text) {
  FakeUiThread* ui = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (servingUi_ != nullptr && std::this_thread::get_id() != uiThread_) ui = servingUi_;
  }
  if (ui == nullptr) return Answer(kind, text);
  struct Request {
    std::mutex mutex;
    std::condition_variable done;
    bool shown = false;
    bool answer = false;
  };
  auto request = std::make_shared<Request>();
  ui->RunOnUiThread([this, request, kind, text] {
    const bool answer = Answer(kind, text);
    std::lock_guard<std::mutex> lock(request->mutex);
    request->answer = answer;
    request->shown = true;
    request->done.notify_all();
  });
  std::unique_lock<std::mutex> lock(request->mutex);
  if (request->done.wait_for(lock, kWaitLimit, [&] { return request->shown; })) return request->answer;
  std::lock_guard<std::mutex> count(mutex_);
  ++unserved_;
  return defaultAnswer_;
}

bool FakeDialogs::Answer(BoxKind kind, const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  bool answer = true;
  if (kind == BoxKind::OkCancel) {
    answer = defaultAnswer_;
    if (!script_.empty()) {
      answer = script_.front();
      script_.pop_front();
    }
  }
  boxes_.push_back(Box{kind, text, answer});
  changed_.notify_all();
  return answer;
}

void FakeDialogs::ServeWorkerBoxesOn(FakeUiThread& ui) {
  std::lock_guard<std::mutex> lock(mutex_);
  servingUi_ = &ui;
  uiThread_ = std::this_thread::get_id();
}

int FakeDialogs::UnservedBoxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return unserved_;
}

void FakeDialogs::ScriptAnswers(std::initializer_list<bool> answers) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_.insert(script_.end(), answers);
}

void FakeDialogs::SetDefaultAnswer(bool answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  defaultAnswer_ = answer;
}

std::vector<Box> FakeDialogs::Boxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

bool FakeDialogs::WaitForBoxes(size_t count, std::chrono::milliseconds limit) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return boxes_.size() >= count; });
}

// FakeWebPanel

void FakeWebPanel::Navigate(const std::string& url) { navigations.push_back(url); }
std::string FakeWebPanel::VisibleText() { return pageText; }

void FakeWebPanel::LoadPage(WindowEvents& events, const std::string& text) {
  pageText = text;
  events.OnPageDownloadComplete();
  events.OnPageNavigateComplete();
}

// FakeShell

platform::StartResult FakeShell::StartProgram(const std::string& program, const std::string& parameters) {
  std::lock_guard<std::mutex> lock(mutex_);
  starts_.push_back(ProgramStart{program, parameters});
  return platform::StartResult{result_, result_ ? "" : "refused by the test"};
}

bool FakeShell::OpenInBrowser(const std::string& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  openedUrls_.push_back(url);
  return result_;
}

void FakeShell::SetResult(bool result) {
  std::lock_guard<std::mutex> lock(mutex_);
  result_ = result;
}

std::vector<ProgramStart> FakeShell::Starts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return starts_;
}

std::vector<std::string> FakeShell::OpenedUrls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return openedUrls_;
}

// FakeSystem

bool FakeSystem::FreeBytesOfCurrentVolume(std::uint64_t& freeBytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!freeBytes_) return false;
  freeBytes = *freeBytes_;
  return true;
}

void FakeSystem::EndProcess(int code) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    exitCodes_.push_back(code);
    changed_.notify_all();
  }
  throw platform::ExitRequested{code};
}

void FakeSystem::SetFreeBytes(std::optional<std::uint64_t> freeBytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  freeBytes_ = freeBytes;
}

std::vector<int> FakeSystem::ExitCodes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return exitCodes_;
}

std::optional<int> FakeSystem::WaitForExit(std::chrono::milliseconds limit) const {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!changed_.wait_for(lock, limit, [&] { return !exitCodes_.empty(); })) return std::nullopt;
  return exitCodes_.front();
}

// FakePlatform

int FakePlatform::Run(WindowEvents& events) {
  ++runs;
  uiThread.DeliverPosted(events);
  return closeCode;
}

}  // namespace fake
