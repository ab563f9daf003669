#pragma once
// Line layouts of log outputs: the fixed default layout and the small
// pattern language ("[%t %p] %m").
#include <string>
#include <vector>

#include "base/log/ox_log_output.h"
#include "base/objects/ox_smart_ptr.h"

namespace ox_base {

// Longest line an output writes; longer lines are cut.
constexpr int kOxLogLineMax = 1223;

// "[YYYYMMDD hh:mm:ss PRIORITY category] message".
class OxLogOutput::LayoutBase : public OxLogOutput::Layout {
 public:
  int Format(const OxLogEvent& event, char* buffer, int size) override;
};

class OxLogOutput::LayoutPattern : public OxLogOutput::Layout {
 public:
  class Component {
   public:
    virtual ~Component() = default;
    virtual std::string Render(const OxLogEvent& event) = 0;
  };

  // Builds the components from a pattern text (see ox_log_layout.cpp).
  explicit LayoutPattern(const std::string& pattern);
  int Format(const OxLogEvent& event, char* buffer, int size) override;

 private:
  std::vector<SmartPtr<Component>> m_components;
};

// The layout used by an output that has none: the default layout plus the
// event's file and line.
int OxLogFormatPositional(const OxLogEvent& event, char* buffer, int size);

}  // namespace ox_base
