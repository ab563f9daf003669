#pragma once
// Window events for the backend tests: each event is logged as a short
// text with the thread it arrived on, and an optional hook runs after it.
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/seam.h"

namespace frontends::console {

class RecordingEvents : public platform::WindowEvents {
 public:
  void OnTimer(int timerId) override { Record("timer " + std::to_string(timerId)); }
  void OnMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    Record("message " + std::to_string(message) + " " + std::to_string(wParam) + " " + std::to_string(lParam));
  }
  void OnCommand(int controlId) override { Record("command " + std::to_string(controlId)); }
  void OnPageDownloadComplete() override { Record("download complete"); }
  void OnPageNavigateComplete() override { Record("navigate complete"); }

  // Logs an event of the test's own (a task, say) on the current thread.
  void Record(const std::string& event) {
    log.push_back(event);
    threads.push_back(std::this_thread::get_id());
    if (after) after(event);
  }

  std::vector<std::string> log;
  std::vector<std::thread::id> threads;
  std::function<void(const std::string&)> after;
};

}  // namespace frontends::console
