// Feeds arbitrary bytes to the document reader as plain XML and as stored
// (Base64) text, runs the flat configuration scan over each, and writes the
// plain tree back.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "xml/xml_file.h"

namespace {

// Where the plain tree is saved; removed when the fuzzer exits.
struct ScratchFile {
  ScratchFile() {
    std::random_device random;
    path = (std::filesystem::temp_directory_path() /
            ("farlaunch-xml-fuzz-" + std::to_string(random()) + ".xml"))
               .string();
  }
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
  std::string path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  static const ScratchFile scratch;
  const std::string input(reinterpret_cast<const char*>(bytes), size);

  CXMLFile plain;
  plain.LoadText(input, true);
  plain.ReadConfig();
  plain.Save(scratch.path);

  CXMLFile stored;
  stored.LoadText(input, false);
  stored.ReadConfig();
  return 0;
}
