#pragma once
// Stands in for the launcher window: prints each download progress message.
#include <ostream>

#include "platform/seam.h"

class PrintingMessageTarget : public platform::MessageTarget {
 public:
  explicit PrintingMessageTarget(std::ostream& out) : out_(out) {}
  // Prints "progress N" for WM_DOWNLOAD_PROGRESS; other messages are not
  // the tool's business.
  void PostWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

 private:
  std::ostream& out_;
};
