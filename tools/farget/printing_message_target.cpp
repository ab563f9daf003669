#include "printing_message_target.h"

#include "update/update_progress.h"

void PrintingMessageTarget::PostMessage(std::uint32_t message, std::uintptr_t, std::intptr_t lParam) {
  if (message == WM_DOWNLOAD_PROGRESS) out_ << "progress " << lParam << '\n';
}
