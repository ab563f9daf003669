#pragma once
// Where log messages go: an output decides (threshold, filter), formats
// (layout) and writes each event. Built-in outputs: a file and the console.
#include <string>

#include "base/files/ox_archive.h"
#include "base/log/ox_log_event.h"
#include "base/objects/ox_smart_ptr.h"

namespace ox_base {

class OxLogOutput {
 public:
  class Filter {
   public:
    virtual ~Filter() = default;
    // -1 drops the event.
    virtual int Decide(const OxLogEvent& event) = 0;
  };

  class Layout {
   public:
    virtual ~Layout() = default;
    // Writes the line into the buffer (NUL-terminated); returns its length.
    virtual int Format(const OxLogEvent& event, char* buffer, int size) = 0;
  };
  class LayoutBase;
  class LayoutPattern;

  explicit OxLogOutput(std::string name);
  virtual ~OxLogOutput() = default;

  // Skips events at or above a threshold other than OX_LOG_TSET and events
  // the filter drops; writes the others.
  virtual void Append(const OxLogEvent& event);
  virtual void SetThreshold(int threshold) { m_threshold = threshold; }
  virtual int GetThreshold() const { return m_threshold; }
  virtual void SetFilter(const SmartPtr<Filter>& filter) { m_filter = filter; }
  virtual SmartPtr<Filter> GetFilter() const { return m_filter; }
  virtual void SetLayout(const SmartPtr<Layout>& layout) { m_layout = layout; }
  virtual void SetDefaultLayout();
  virtual void SetPattern(const std::string& pattern);
  virtual SmartPtr<Layout> GetLayout() const { return m_layout; }
  // Formats and writes one line; messages carry their own line end.
  virtual void Write(const OxLogEvent& event) = 0;

  const std::string& GetName() const { return m_name; }

 protected:
  // The event as one line (at most 1223 characters) in this output's layout.
  std::string FormatLine(const OxLogEvent& event) const;

 private:
  std::string m_name;
  int m_threshold = OX_LOG_TSET;
  SmartPtr<Filter> m_filter;
  SmartPtr<Layout> m_layout;
};

class OxLogOutputFile : public OxLogOutput {
 public:
  OxLogOutputFile(std::string name, std::string path, bool append);
  // Opens the file (text mode, truncated or appended, readable by others);
  // false when it cannot be opened, also when another writer holds it.
  bool Open();
  void Write(const OxLogEvent& event) override;

 private:
  OxArchivePtr m_file;
  std::string m_path;
  bool m_append;
};

class OxLogOutputConsole : public OxLogOutput {
 public:
  // Writes to standard output with the pattern "[%t %p] %m".
  explicit OxLogOutputConsole(std::string name);
  ~OxLogOutputConsole() override;
  void Write(const OxLogEvent& event) override;

 private:
  OxArchivePtr m_pAr;  // the file system's "stdout" stream
};

}  // namespace ox_base
