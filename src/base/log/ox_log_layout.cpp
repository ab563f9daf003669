#include "base/log/ox_log_layout.h"

#include <cstdio>
#include <cstring>

#include "base/diagnostics/ox_local_time.h"

namespace ox_base {
namespace {

std::string Printf(const char* format, int a, int b, int c) {
  char text[64];
  std::snprintf(text, sizeof(text), format, a, b, c);
  return text;
}

std::string DateText(const OxLogEvent& event) {
  std::tm t = LocalTime(event.time);
  return Printf("%04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

std::string TimeText(const OxLogEvent& event) {
  std::tm t = LocalTime(event.time);
  return Printf("%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
}

// Copies text into the buffer, cut to the line limit and the buffer size.
int Emit(const std::string& text, char* buffer, int size) {
  if (size <= 0) return 0;
  size_t length = text.size();
  if (length > static_cast<size_t>(kOxLogLineMax)) length = kOxLogLineMax;
  if (length > static_cast<size_t>(size - 1)) length = size - 1;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

using Component = OxLogOutput::LayoutPattern::Component;

class ComponentDate : public Component {
  std::string Render(const OxLogEvent& event) override { return DateText(event); }
};
class ComponentTime : public Component {
  std::string Render(const OxLogEvent& event) override { return TimeText(event); }
};
class ComponentDateTime : public Component {
  std::string Render(const OxLogEvent& event) override { return DateText(event) + " " + TimeText(event); }
};
class ComponentSecond : public Component {
  std::string Render(const OxLogEvent& event) override { return std::to_string(static_cast<int>(event.time)); }
};
class ComponentMsg : public Component {
  std::string Render(const OxLogEvent& event) override { return event.message; }
};
class ComponentCategory : public Component {
  std::string Render(const OxLogEvent& event) override { return event.category; }
};
class ComponentPosition : public Component {
  std::string Render(const OxLogEvent& event) override { return event.file + ":" + std::to_string(event.line); }
};
class ComponentPriority : public Component {
  std::string Render(const OxLogEvent& event) override { return OxLogPriorityName(event.priority); }
};
class ComponentString : public Component {
 public:
  explicit ComponentString(std::string text) : m_text(std::move(text)) {}
  std::string Render(const OxLogEvent&) override { return m_text; }

 private:
  std::string m_text;
};

Component* MakeConversion(char conversion) {
  switch (conversion) {
    case 'T': return new ComponentDateTime;
    case 'd': return new ComponentDate;
    case 't': return new ComponentTime;
    case 's': return new ComponentSecond;
    case 'p': return new ComponentPriority;
    case 'c': return new ComponentCategory;
    case 'm': return new ComponentMsg;
    case 'f': return new ComponentPosition;
    default: return new ComponentString(":(");  // unknown conversions are marked, not dropped silently
  }
}

}  // namespace

int OxLogOutput::LayoutBase::Format(const OxLogEvent& event, char* buffer, int size) {
  std::string line = "[" + DateText(event) + " " + TimeText(event) + " " + OxLogPriorityName(event.priority) + " " +
                     event.category + "] " + event.message;
  return Emit(line, buffer, size);
}

OxLogOutput::LayoutPattern::LayoutPattern(const std::string& pattern) {
  std::string literal;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size()) {
      if (!literal.empty()) {
        m_components.emplace_back(new ComponentString(literal));
        literal.clear();
      }
      m_components.emplace_back(MakeConversion(pattern[++i]));
    } else {
      literal += pattern[i];
    }
  }
  if (!literal.empty()) m_components.emplace_back(new ComponentString(literal));
}

int OxLogOutput::LayoutPattern::Format(const OxLogEvent& event, char* buffer, int size) {
  std::string line;
  for (const SmartPtr<Component>& component : m_components) line += component->Render(event);
  return Emit(line, buffer, size);
}

int OxLogFormatPositional(const OxLogEvent& event, char* buffer, int size) {
  std::string line = "[" + DateText(event) + " " + TimeText(event) + " " + OxLogPriorityName(event.priority) + " " +
                     event.category + " " + event.file + ":" + std::to_string(event.line) + "] " + event.message;
  return Emit(line, buffer, size);
}

}  // namespace ox_base
