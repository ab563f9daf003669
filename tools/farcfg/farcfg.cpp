// farcfg: checks and prepares the launcher's documents from the command line.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "farcfg_output.h"
#include "xml/base64.h"
#include "xml/xml_file.h"

namespace {

constexpr int kOk = 0;
constexpr int kUnreadable = 1;
constexpr int kUsageError = 2;

const char kHelp[] =
    "usage: farcfg COMMAND FILE [--raw]\n"
    "\n"
    "Checks and prepares the launcher's documents (updatecfg.xml, servercfg.xml).\n"
    "Documents are stored as one line of Base64 text; --raw reads plain XML instead.\n"
    "\n"
    "  encode FILE        write the Base64 text of FILE's bytes (no line break)\n"
    "  decode FILE        write the bytes of FILE's Base64 text\n"
    "  tree FILE [--raw]  load FILE and print \"load: true\" or \"load: false\", then its\n"
    "                     nodes, one per line, two spaces deeper per level:\n"
    "                     \"E name\" (element), \"A name=value\" (attribute), \"T text\"\n"
    "                     (text); bytes below 0x20 and \"\\\" are shown as \\n \\r \\t \\\\ \\xhh\n"
    "  read FILE [--raw]  load FILE and print the keys the launcher reads: every single\n"
    "                     key that holds a value as Key=value (LoginServer always), then\n"
    "                     each version entry and its file items\n"
    "\n"
    "Exit status: 0 when FILE could be read (for tree and read: loaded), 1 when not,\n"
    "2 for a usage error.\n";

int UsageError(const std::string& message) {
  std::cerr << "farcfg: " << message << "\n" << "Try 'farcfg --help'.\n";
  return kUsageError;
}

bool ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path)) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

int Convert(const std::string& command, const std::string& path) {
  std::string bytes;
  if (!ReadFile(path, bytes)) {
    std::cerr << "farcfg: cannot read " << path << "\n";
    return kUnreadable;
  }
  const std::string converted = command == "encode" ? Base64Encode(bytes) : Base64Decode(bytes);
  std::cout.write(converted.data(), static_cast<std::streamsize>(converted.size()));
  return kOk;
}

int Show(const std::string& command, const std::string& path, bool raw) {
  CXMLFile document;
  const bool loaded = document.Load(path, raw);
  if (command == "tree") {
    std::cout << "load: " << (loaded ? "true" : "false") << "\n";
    if (document.Root() != nullptr) PrintTree(std::cout, *document.Root());
  } else {
    document.ReadConfig();
    PrintConfig(std::cout, document.config);
  }
  return loaded ? kOk : kUnreadable;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") {
      std::cout << kHelp;
      return kOk;
    }
  }
  if (args.empty()) return UsageError("missing command");
  const std::string& command = args[0];
  const bool convert = command == "encode" || command == "decode";
  const bool show = command == "tree" || command == "read";
  if (!convert && !show) return UsageError("unknown command '" + command + "'");

  std::vector<std::string> files;
  bool raw = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (show && args[i] == "--raw") {
      raw = true;
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      return UsageError("unknown option '" + args[i] + "'");
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 1) return UsageError(command + " takes one FILE");
  return convert ? Convert(command, files[0]) : Show(command, files[0], raw);
}
