// farcfg: checks and prepares the launcher's documents from the command line.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/files/ox_path.h"
#include "farcfg_output.h"
#include "trust/file_digest.h"
#include "trust/public_key.h"
#include "trust/signature_check.h"
#include "xml/base64.h"
#include "xml/xml_file.h"

namespace {

constexpr int kOk = 0;
constexpr int kUnreadable = 1;
constexpr int kUsageError = 2;

const char kHelp[] =
    "usage: farcfg COMMAND FILE... [--raw]\n"
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
    "                     key that holds a value as Key=value (LoginServer always) and\n"
    "                     the full package's MiniSha256 and MiniSize, then each version\n"
    "                     entry and its file items, each with the Sha256 and Size that\n"
    "                     stand on its address's element\n"
    "  verify DOCUMENT SIGNATURE PUBLICKEY\n"
    "                     check DOCUMENT's minisign SIGNATURE against PUBLICKEY (a\n"
    "                     minisign public key file, or its Base64 line) as the launcher\n"
    "                     does; print the trusted comment, or say why it is not valid\n"
    "  hash FILE          print FILE's Sha256=\"...\" Size=\"...\" attributes for a server\n"
    "                     document's item\n"
    "\n"
    "Exit status: 0 when FILE could be read (for decode: it is Base64; for tree and\n"
    "read: it loaded; for verify: the signature is valid), 1 when not, 2 for a\n"
    "usage error.\n";

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

bool ReadOrComplain(const std::string& path, std::string& bytes) {
  if (ReadFile(path, bytes)) return true;
  std::cerr << "farcfg: cannot read " << path << "\n";
  return false;
}

int Convert(const std::string& command, const std::string& path) {
  std::string bytes;
  if (!ReadOrComplain(path, bytes)) return kUnreadable;
  const std::optional<std::string> converted =
      command == "encode" ? std::optional<std::string>(Base64Encode(bytes)) : Base64Decode(bytes);
  if (!converted) {
    std::cerr << "farcfg: " << path << " is no Base64 text\n";
    return kUnreadable;
  }
  std::cout.write(converted->data(), static_cast<std::streamsize>(converted->size()));
  return kOk;
}

int Verify(const std::string& documentPath, const std::string& signaturePath, const std::string& keyPath) {
  std::string document;
  std::string signature;
  std::string keyText;
  if (!ReadOrComplain(documentPath, document) || !ReadOrComplain(signaturePath, signature) ||
      !ReadOrComplain(keyPath, keyText)) {
    return kUnreadable;
  }
  const TrustResult<PublicKey> key = ParsePublicKey(keyText);
  if (!key.value) {
    std::cerr << "farcfg: " << keyPath << ": " << key.error << "\n";
    return kUnreadable;
  }
  const Verification verification = VerifySignature(*key.value, document, signature);
  if (!verification.Valid()) {
    std::cerr << "farcfg: not valid: " << verification.reason << "\n";
    return kUnreadable;
  }
  std::cout << "valid, signed by key " << FormatKeyId(key.value->id) << "\n"
            << "trusted comment: " << verification.trustedComment << "\n";
  return kOk;
}

int Hash(const std::string& path) {
  FileDigest digest;
  std::string error;
  if (!DigestFile(path, digest, error)) {
    std::cerr << "farcfg: " << error << "\n";
    return kUnreadable;
  }
  std::cout << "Sha256=\"" << digest.sha256 << "\" Size=\"" << digest.size << "\"\n";
  return kOk;
}

int Show(const std::string& command, const std::string& path, bool raw) {
  // The document is read as the launcher reads it, by its name in the
  // launcher's code page; the command line gives it in UTF-8.
  const std::optional<std::string> name = ox_base::NameFromNative(path);
  if (!name) {
    std::cerr << "farcfg: " << path << " cannot be named in the launcher's code page\n";
    return kUnreadable;
  }
  CXMLFile document;
  const bool loaded = document.Load(*name, raw);
  if (!loaded) std::cerr << "farcfg: " << path << " does not load as a document\n";
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
  const bool verify = command == "verify";
  if (!convert && !show && !verify && command != "hash") {
    return UsageError("unknown command '" + command + "'");
  }

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
  if (verify) {
    if (files.size() != 3) return UsageError("verify takes DOCUMENT SIGNATURE PUBLICKEY");
    return Verify(files[0], files[1], files[2]);
  }
  if (files.size() != 1) return UsageError(command + " takes one FILE");
  if (convert) return Convert(command, files[0]);
  return show ? Show(command, files[0], raw) : Hash(files[0]);
}
