#pragma once
// Records the progress messages a download posts, with the size the local
// file had when each one arrived.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/seam.h"

class RecordingMessageTarget : public platform::MessageTarget {
 public:
  explicit RecordingMessageTarget(std::filesystem::path watchedFile = {}) : watchedFile_(std::move(watchedFile)) {}

  void PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
    messages.push_back(message);
    wParams.push_back(wParam);
    percents.push_back(static_cast<int>(lParam));
    std::error_code error;
    auto size = std::filesystem::file_size(watchedFile_, error);
    fileSizes.push_back(error ? -1 : static_cast<long long>(size));
  }

  bool AllAreProgressWithZeroWParam() const {
    for (std::size_t i = 0; i < messages.size(); ++i) {
      if (messages[i] != platform::WM_DOWNLOAD_PROGRESS || wParams[i] != 0) return false;
    }
    return true;
  }

  std::vector<std::uint32_t> messages;
  std::vector<std::uintptr_t> wParams;
  std::vector<int> percents;
  std::vector<long long> fileSizes;

 private:
  std::filesystem::path watchedFile_;
};
