#include "base/log/ox_log_output.h"

#include "base/diagnostics/ox_assert.h"
#include "base/init/ox_base.h"
#include "base/files/ox_file.h"
#include "base/log/ox_log_layout.h"

namespace ox_base {
namespace {
const char kUnit[] = "dlls/base/ox_log";
}  // namespace

OxLogOutput::OxLogOutput(std::string name) : m_name(std::move(name)) { SetDefaultLayout(); }

void OxLogOutput::Append(const OxLogEvent& event) {
  if (m_threshold != OX_LOG_TSET && event.priority >= m_threshold) return;
  if (m_filter && m_filter->Decide(event) == -1) return;
  Write(event);
}

void OxLogOutput::SetDefaultLayout() { m_layout = SmartPtr<Layout>(new LayoutBase); }

void OxLogOutput::SetPattern(const std::string& pattern) { m_layout = SmartPtr<Layout>(new LayoutPattern(pattern)); }

std::string OxLogOutput::FormatLine(const OxLogEvent& event) const {
  char buffer[kOxLogLineMax + 1];
  int length = m_layout ? m_layout->Format(event, buffer, sizeof(buffer))
                        : OxLogFormatPositional(event, buffer, sizeof(buffer));
  return std::string(buffer, length);
}

OxLogOutputFile::OxLogOutputFile(std::string name, std::string path, bool append)
    : OxLogOutput(std::move(name)), m_path(std::move(path)), m_append(append) {}

bool OxLogOutputFile::Open() {
  unsigned flags = OX_WRITE_TEXT | OX_WRITE_SHARE_READ | (m_append ? unsigned{OX_WRITE_APPEND} : 0u);
  m_file = OxBase::GetFileSystem()->OpenWrite(m_path, flags);
  return m_file != nullptr;
}

void OxLogOutputFile::Write(const OxLogEvent& event) {
  if (!m_file) return;
  std::string line = FormatLine(event);
  m_file->Serialize(line.data(), static_cast<int>(line.size()));
  m_file->Flush();
}

OxLogOutputConsole::OxLogOutputConsole(std::string name) : OxLogOutput(std::move(name)) {
  SetPattern("[%t %p] %m");
  m_pAr = OxBase::GetFileSystem()->OpenWrite("stdout", OX_WRITE_TEXT);
}

OxLogOutputConsole::~OxLogOutputConsole() { OX_ASSERT_REPORT(kUnit, m_pAr!=NULL); }

void OxLogOutputConsole::Write(const OxLogEvent& event) {
  if (!m_pAr) return;
  std::string line = FormatLine(event);
  m_pAr->Serialize(line.data(), static_cast<int>(line.size()));
  m_pAr->Flush();
}

}  // namespace ox_base
