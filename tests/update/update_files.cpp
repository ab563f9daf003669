#include "update/update_files.h"

#include <stdexcept>

#include "support/temp_dir.h"
#include "xml/base64.h"

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

std::string ReadVersionDocument() { return Base64Decode(ReadFile("updatecfg.xml")).value_or("<no Base64>"); }
