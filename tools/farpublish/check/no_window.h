#pragma once
// Downloads report their progress to the launcher's window; in the
// publisher's tools nobody watches.
#include "platform/seam.h"

class NoWindow : public platform::MessageTarget {
 public:
  void PostWindowMessage(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
};
