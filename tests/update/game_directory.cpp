#include "update/game_directory.h"

#include <stdexcept>

#include "xml/base64.h"

namespace fs = std::filesystem;

void GameDirectory::Write(const std::string& name, const std::string& content) const {
  const fs::path file = Path() / name;
  fs::create_directories(file.parent_path());
  WriteFile(file, content);
}

std::string GameDirectory::Read(const std::string& name) const { return ReadFile(Path() / name); }

bool GameDirectory::Has(const std::string& name) const { return fs::exists(Path() / name); }

std::string MakeZip(const std::map<std::string, std::string>& entries) {
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
                              "' && /usr/bin/python3 -c 'import sys, zipfile; "
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

std::string ReadVersionDocument() { return Base64Decode(ReadFile("updatecfg.xml")); }
