#include "zip_test_support.h"

#include <zlib.h>

#include <cstdlib>

namespace {

void Put16(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xff);
  out += static_cast<char>((value >> 8) & 0xff);
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xffff);
  Put16(out, value >> 16);
}

}  // namespace

std::string RawDeflate(const std::string& content) {
  z_stream stream{};
  deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, content.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
  stream.avail_in = static_cast<uInt>(content.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

std::string UnicodePathBlock(const std::string& storedName, const std::string& utf8Name, char version) {
  std::string block = "up";
  Put16(block, static_cast<std::uint32_t>(5 + utf8Name.size()));
  block += version;
  Put32(block, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(storedName.data()),
                                                static_cast<uInt>(storedName.size()))));
  return block + utf8Name;
}

std::string CraftArchive(const std::vector<CraftedEntry>& entries) {
  std::string archive;
  std::string directory;
  for (const CraftedEntry& entry : entries) {
    const std::string data =
        entry.data ? *entry.data : entry.method == 8 ? RawDeflate(entry.content) : entry.content;
    const std::uint32_t crc = entry.crc ? *entry.crc
        : static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(entry.content.data()),
                                           static_cast<uInt>(entry.content.size())));
    std::string common;  // version needed .. name length, shared by both headers
    Put16(common, 20);
    Put16(common, entry.flags);
    Put16(common, entry.method);
    Put32(common, entry.dosDateTime);
    Put32(common, crc);
    Put32(common, static_cast<std::uint32_t>(data.size()));
    Put32(common, entry.size ? *entry.size : static_cast<std::uint32_t>(entry.content.size()));
    Put16(common, static_cast<std::uint32_t>(entry.name.size()));
    const auto offset = static_cast<std::uint32_t>(archive.size());
    Put32(archive, 0x04034b50);
    archive += common;
    Put16(archive, static_cast<std::uint32_t>(entry.localExtra.size()));
    archive += entry.name + entry.localExtra + data;
    Put32(directory, 0x02014b50);
    Put16(directory, entry.versionMadeBy);
    directory += common;
    Put16(directory, static_cast<std::uint32_t>(entry.centralExtra.size()));
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, entry.externalAttributes);
    Put32(directory, offset);
    directory += entry.name + entry.centralExtra;
  }
  const auto directoryOffset = static_cast<std::uint32_t>(archive.size());
  archive += directory;
  Put32(archive, 0x06054b50);
  Put32(archive, 0);  // disk numbers
  Put16(archive, static_cast<std::uint32_t>(entries.size()));
  Put16(archive, static_cast<std::uint32_t>(entries.size()));
  Put32(archive, static_cast<std::uint32_t>(directory.size()));
  Put32(archive, directoryOffset);
  Put16(archive, 0);
  return archive;
}

int Shell(const std::string& command, std::string* output) {
  const TempDir scratch;
  const std::string captured = scratch.File("output");
  const std::string status = scratch.File("status");
  std::system(("(" + command + ") >" + captured + " 2>&1; echo $? >" + status).c_str());
  if (output) *output = ReadFile(captured);
  return std::stoi(ReadFile(status));
}

void ZipTest::SetUp() {
  base = scratch_.Path();
  root = base / "root";
  fs::create_directories(root);
  insideRoot_.emplace(root);
}

std::vector<ZipResult> ZipTest::ExtractAll(const std::string& archive) {
  ZipReader reader;
  std::vector<ZipResult> results{reader.Open(archive)};
  ZipEntry count;
  reader.GetItem(-1, count);
  for (std::int32_t i = 0; i < count.index; ++i) {
    ZipEntry entry;
    reader.GetItem(i, entry);
    results.push_back(reader.ExtractItem(i, entry.name, extractedBytes, cancelInstall));
  }
  reader.Close();
  return results;
}
