#include "update/game_directory.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "xml/base64.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& content) {
  if (path.has_parent_path()) {
    fs::create_directories(path.parent_path());
  }
  std::ofstream(path, std::ios::binary) << content;
}

fs::path UniqueDirectory(const std::string& prefix) {
  std::random_device random;
  for (;;) {
    fs::path candidate = fs::temp_directory_path() / (prefix + std::to_string(random()));
    if (fs::create_directory(candidate)) {
      return candidate;
    }
  }
}

}  // namespace

GameDirectory::GameDirectory() : previous_(fs::current_path()), path_(UniqueDirectory("farlaunch-game-")) {
  fs::current_path(path_);
}

GameDirectory::~GameDirectory() {
  fs::current_path(previous_);
  std::error_code error;
  fs::remove_all(path_, error);
}

void GameDirectory::Write(const std::string& name, const std::string& content) const {
  WriteFile(path_ / name, content);
}

std::string GameDirectory::Read(const std::string& name) const { return ReadFile(path_ / name); }

bool GameDirectory::Has(const std::string& name) const { return fs::exists(path_ / name); }

std::string MakeZip(const std::map<std::string, std::string>& entries) {
  // Python's zipfile takes any stored name, including ones a hostile
  // archive would carry ("../x").
  const fs::path staging = UniqueDirectory("farlaunch-zip-");
  std::string arguments;
  int n = 0;
  for (const auto& [name, content] : entries) {
    const std::string file = "entry" + std::to_string(n++);
    WriteFile(staging / file, content);
    arguments += " '" + file + "' '" + name + "'";
  }
  const std::string command = "cd '" + staging.string() +
                              "' && /usr/bin/python3 -c 'import sys, zipfile; "
                              "z = zipfile.ZipFile(\"archive.zip\", \"w\", zipfile.ZIP_DEFLATED); a = sys.argv[1:]; "
                              "[z.write(a[i], a[i + 1]) for i in range(0, len(a), 2)]; z.close()'" +
                              arguments;
  if (std::system(command.c_str()) != 0) {
    throw std::runtime_error("building the archive failed: " + command);
  }
  std::string bytes = ReadFile(staging / "archive.zip");
  fs::remove_all(staging);
  return bytes;
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
