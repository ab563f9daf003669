#include "update/update_files.h"

#include <cstdint>
#include <stdexcept>

#include "support/temp_dir.h"
#include "xml/base64.h"

std::string MakeZip(const std::map<std::string, std::string>& entries) {
  return MakeOrderedZip(std::vector<std::pair<std::string, std::string>>(entries.begin(), entries.end()));
}

std::string WithEntryField(std::string zip, int index, EntryField field, std::uint32_t value) {
  std::size_t central = zip.find("PK\x01\x02");
  for (int i = 0; i < index && central != std::string::npos; ++i) central = zip.find("PK\x01\x02", central + 4);
  if (central == std::string::npos) throw std::runtime_error("no such entry");
  std::uint32_t local = 0;
  for (int i = 3; i >= 0; --i) local = (local << 8) | static_cast<unsigned char>(zip[central + 42 + i]);
  // The field's place in the central and in the local header.
  const std::size_t centralAt = central + (field == EntryField::Crc ? 16 : 24);
  const std::size_t localAt = local + (field == EntryField::Crc ? 14 : 22);
  for (int i = 0; i < 4; ++i) {
    zip[centralAt + i] = zip[localAt + i] = static_cast<char>((value >> (8 * i)) & 0xff);
  }
  return zip;
}

std::string MakeOrderedZip(const std::vector<std::pair<std::string, std::string>>& entries) {
  // Python's zipfile takes any stored name, including ones a hostile
  // archive would carry ("../x").
  const TempDir staging;
  std::string arguments;
  int n = 0;
  for (const auto& [name, content] : entries) {
    const std::string file = "entry" + std::to_string(n++);
    staging.Write(file, content);
    arguments += " '" + file + "' '" + name + "'";
  }
  const std::string command = "cd '" + staging.Path().string() +
                              "' && /usr/bin/python3 -W ignore -c 'import sys, zipfile; "
                              "z = zipfile.ZipFile(\"archive.zip\", \"w\", zipfile.ZIP_DEFLATED); a = sys.argv[1:]; "
                              "[z.write(a[i], a[i + 1]) for i in range(0, len(a), 2)]; z.close()'" +
                              arguments;
  if (std::system(command.c_str()) != 0) {
    throw std::runtime_error("building the archive failed: " + command);
  }
  return ReadFile(staging.File("archive.zip"));
}

std::string StoredVersionDocument(const LocalVersion& v) {
  const std::string text = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<GameVersion MainVersion=\"" + v.MainVersion +
                           "\" SubVersion=\"" + v.SubVersion + "\" FileVersion=\"" + v.FileVersion +
                           "\" PackageCode=\"" + v.PackageCode + "\" UpdateServerAddr=\"" + v.UpdateServerAddr +
                           "\" LoginServer=\"" + v.LoginServer +
                           "\" ForceUpdateVersion=\"0\" ProductName=\"fog\" PackageName=\"fogpkg\" "
                           "WebAddr=\"http://local.invalid/\">\n</GameVersion>\n";
  return Base64Encode(text);
}

std::string ReadVersionDocument() { return Base64Decode(ReadFile("updatecfg.xml")).value_or("<no Base64>"); }
