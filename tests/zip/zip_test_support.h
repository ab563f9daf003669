#pragma once
// Helpers for the archive reader's tests: a scratch game directory, file
// trees, real archivers, and hand-made archives for what the real
// archivers never write (damaged data, hostile names, "\" separators).
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "zip/zip_reader.h"

namespace fs = std::filesystem;

struct CraftedEntry {
  CraftedEntry(std::string entryName, std::string entryContent, std::uint16_t entryMethod = 0,
               std::uint32_t external = 0, std::uint16_t madeBy = 20,
               std::uint32_t dosStamp = 0x14220000, std::string extra = "")
      : name(std::move(entryName)), content(std::move(entryContent)), method(entryMethod),
        externalAttributes(external), versionMadeBy(madeBy), dosDateTime(dosStamp),
        localExtra(std::move(extra)) {}

  std::string name;
  std::string content;
  std::uint16_t method;  // 8 deflates the content; any other stores it
  std::uint32_t externalAttributes;
  std::uint16_t versionMadeBy;  // 20: host 0, DOS/Windows
  std::uint32_t dosDateTime;    // 0x14220000: 1990-01-02 00:00:00
  std::string localExtra;
  std::optional<std::string> data;   // stored bytes instead of the encoded content
  std::optional<std::uint32_t> crc;  // recorded CRC-32 instead of the content's
  std::optional<std::uint32_t> size;  // recorded uncompressed size instead of the content's
  std::uint16_t flags = 0;     // general-purpose flags of both headers
  std::string centralExtra;    // the central header's extra field
};

std::string CraftArchive(const std::vector<CraftedEntry>& entries);
std::string RawDeflate(const std::string& content);
// An Info-ZIP Unicode path block: `version`, the CRC-32 of `storedName`,
// then `utf8Name`.
std::string UnicodePathBlock(const std::string& storedName, const std::string& utf8Name, char version = 1);

// Runs a shell command; its exit code, and its output when asked for.
int Shell(const std::string& command, std::string* output = nullptr);

// The test runs in `root` (the game directory), a child of `base`.
class ZipTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Extracts like the launcher: every entry under its stored name.
  std::vector<ZipResult> ExtractAll(const std::string& archive);

  fs::path base;
  fs::path root;
  std::atomic<std::int64_t> extractedBytes{0};
  std::atomic<bool> cancelInstall{false};

 private:
  TempDir scratch_;
  std::optional<CurrentDirectory> insideRoot_;
};
