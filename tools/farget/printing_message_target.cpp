#include "printing_message_target.h"

void PrintingMessageTarget::PostWindowMessage(std::uint32_t message, std::uintptr_t, std::intptr_t lParam) {
  if (message == platform::WM_DOWNLOAD_PROGRESS) out_ << "progress " << lParam << '\n';
}
