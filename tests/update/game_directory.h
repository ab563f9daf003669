#pragma once
// A temporary game directory that is the current directory for the length
// of a test, plus the files the launcher finds there.
#include <filesystem>
#include <map>
#include <string>

class GameDirectory {
 public:
  GameDirectory();
  ~GameDirectory();
  GameDirectory(const GameDirectory&) = delete;
  GameDirectory& operator=(const GameDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;
  bool Has(const std::string& name) const;

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Builds a zip archive (deflated) from stored name -> content pairs and
// returns its bytes. Names are stored as given.
std::string MakeZip(const std::map<std::string, std::string>& entries);

// The stored (Base64) form of a local version document.
struct LocalVersion {
  std::string MainVersion = "1";
  std::string SubVersion = "0";
  std::string FileVersion = "10";
  std::string PackageCode = "0010";
  std::string UpdateServerAddr;
  std::string LoginServer = "7";
};
std::string StoredVersionDocument(const LocalVersion& version);

// Decodes updatecfg.xml of the current directory to its XML text.
std::string ReadVersionDocument();
