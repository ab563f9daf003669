#include "update/site/executable_format.h"

#include <gtest/gtest.h>

#include "support/program_bytes.h"

namespace {

std::string DosHeaderPointingAt(std::uint32_t offset) {
  std::string head(0x40, '\0');
  head[0] = 'M';
  head[1] = 'Z';
  for (int i = 0; i < 4; ++i) head[0x3C + i] = static_cast<char>(offset >> (8 * i));
  return head;
}

}  // namespace

TEST(ExecutableFormat, TheFirstBytesTellAWindowsProgramFromALinuxOne) {
  EXPECT_EQ(ExecutableFormatOf(ProgramBytes(ExecutableFormat::LinuxElf, "")), ExecutableFormat::LinuxElf);
  EXPECT_EQ(ExecutableFormatOf(ProgramBytes(ExecutableFormat::WindowsPe, "")), ExecutableFormat::WindowsPe);
  // As linkers lay it out: a DOS stub between the two headers.
  EXPECT_EQ(ExecutableFormatOf(DosHeaderPointingAt(0x80) + std::string(0x40, 's') + std::string("PE\0\0", 4)),
            ExecutableFormat::WindowsPe);

  // A DOS program, a PE header out of reach or cut short, scripts and
  // nothing at all are no launcher.
  EXPECT_EQ(ExecutableFormatOf(DosHeaderPointingAt(0x40) + "NE\0\0"), ExecutableFormat::Other);
  EXPECT_EQ(ExecutableFormatOf(DosHeaderPointingAt(0xFFFFFFF0u) + std::string("PE\0\0", 4)), ExecutableFormat::Other);
  EXPECT_EQ(ExecutableFormatOf(DosHeaderPointingAt(0x40) + "PE"), ExecutableFormat::Other);
  EXPECT_EQ(ExecutableFormatOf(DosHeaderPointingAt(kExecutableHeadBytes) + std::string(kExecutableHeadBytes, 'x')),
            ExecutableFormat::Other);
  EXPECT_EQ(ExecutableFormatOf("MZ"), ExecutableFormat::Other);
  EXPECT_EQ(ExecutableFormatOf("\x7f" "EL"), ExecutableFormat::Other);
  EXPECT_EQ(ExecutableFormatOf("#!/bin/sh\n"), ExecutableFormat::Other);
  EXPECT_EQ(ExecutableFormatOf(""), ExecutableFormat::Other);
}
