#pragma once
// Stand-ins for programs: the first bytes that tell a Windows program (PE)
// from a Linux one (ELF), then `tail`.
#include <string>

#include "update/site/executable_format.h"

inline std::string ProgramBytes(ExecutableFormat format, const std::string& tail) {
  switch (format) {
    case ExecutableFormat::LinuxElf:
      return std::string("\x7f" "ELF\x02\x01\x01", 7) + tail;
    case ExecutableFormat::WindowsPe: {
      // The DOS header points right behind itself, at the PE signature.
      std::string head(0x40, '\0');
      head[0] = 'M';
      head[1] = 'Z';
      head[0x3C] = 0x40;
      return head + std::string("PE\0\0", 4) + tail;
    }
    case ExecutableFormat::Other:
      break;
  }
  return tail;
}

// A program of the platform the tests run on: one this launcher installs.
inline std::string OwnProgramBytes(const std::string& tail) { return ProgramBytes(OwnExecutableFormat(), tail); }
