#include "update/site/executable_format.h"

#include <cstdint>
#include <fstream>

#include "base/files/ox_path.h"

namespace {

// Where the DOS header keeps the offset of the PE header.
constexpr std::size_t kPeOffsetField = 0x3C;

std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

struct FormatNames {
  ExecutableFormat format;
  const char* platform;
  const char* description;
};

const FormatNames kFormatNames[] = {
    {ExecutableFormat::WindowsPe, "windows-x86_64", "a Windows program"},
    {ExecutableFormat::LinuxElf, "linux-x86_64", "a Linux program"},
    {ExecutableFormat::Other, "", "no program"},
};

const FormatNames& NamesOf(ExecutableFormat format) {
  for (const FormatNames& names : kFormatNames) {
    if (names.format == format) return names;
  }
  return kFormatNames[2];
}

}  // namespace

ExecutableFormat ExecutableFormatOf(std::string_view head) {
  head = head.substr(0, kExecutableHeadBytes);
  if (head.substr(0, 4) == std::string_view("\x7f" "ELF", 4)) return ExecutableFormat::LinuxElf;
  if (head.substr(0, 2) != "MZ" || head.size() < kPeOffsetField + 4) return ExecutableFormat::Other;
  const std::uint32_t pe = LittleEndian32(head, kPeOffsetField);
  if (pe > head.size() - 4 || head.substr(pe, 4) != std::string_view("PE\0\0", 4)) return ExecutableFormat::Other;
  return ExecutableFormat::WindowsPe;
}

ExecutableFormat ExecutableFormatOfPath(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::string head(kExecutableHeadBytes, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(file.gcount()));
  return ExecutableFormatOf(head);
}

ExecutableFormat ExecutableFormatOfFile(const std::string& name) {
  return ExecutableFormatOfPath(ox_base::NativeFilesystemPath(ox_base::NativePath(name)));
}

const char* PlatformName(ExecutableFormat format) { return NamesOf(format).platform; }

std::string FormatDescription(ExecutableFormat format) { return NamesOf(format).description; }
