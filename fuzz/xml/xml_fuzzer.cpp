// Feeds arbitrary bytes to the document reader as plain XML and as stored
// (Base64) text, runs the flat configuration scan over each, and writes the
// plain tree back.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "xml/xml_file.h"

namespace {

std::string ScratchFile() {
  std::random_device random;
  return (std::filesystem::temp_directory_path() /
          ("farlaunch-xml-fuzz-" + std::to_string(random()) + ".xml"))
      .string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const std::string scratch = ScratchFile();
  const std::string input(reinterpret_cast<const char*>(bytes), size);

  CXMLFile plain;
  plain.LoadText(input, true);
  plain.ReadConfig();
  plain.Save(scratch);

  CXMLFile stored;
  stored.LoadText(input, false);
  stored.ReadConfig();
  return 0;
}
