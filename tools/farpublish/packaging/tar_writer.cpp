#include "packaging/tar_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kBlock = 512;
constexpr size_t kNameField = 100;
constexpr size_t kPrefixField = 155;
// 2020-01-01 00:00 UTC: a fixed time rather than the build's, so that a
// rebuild gives the same archive.
constexpr unsigned long long kEntryTime = 1577836800;

// `value` in octal digits filling the field but its last byte (a NUL);
// false when it does not fit.
bool PutOctal(char* field, size_t width, unsigned long long value) {
  field[width - 1] = '\0';
  for (size_t digit = width - 1; digit-- > 0; value /= 8) field[digit] = static_cast<char>('0' + value % 8);
  return value == 0;
}

// ustar keeps a long name in two fields, split at a "/": a prefix of up to
// 155 bytes and the rest, up to 100.
bool SplitName(const std::string& name, std::string& prefix, std::string& rest) {
  if (name.size() <= kNameField) {
    prefix.clear();
    rest = name;
    return true;
  }
  for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1)) {
    if (slash <= kPrefixField && name.size() - slash - 1 <= kNameField && slash + 1 < name.size()) {
      prefix = name.substr(0, slash);
      rest = name.substr(slash + 1);
      return true;
    }
  }
  return false;
}

bool AppendEntry(const TarEntry& entry, std::string& tar, std::string& error) {
  std::string prefix, rest;
  if (!SplitName(entry.name, prefix, rest)) {
    error = "the name " + entry.name + " is too long for a tar archive";
    return false;
  }
  const bool folder = entry.name.back() == '/';
  char header[kBlock] = {};
  std::memcpy(header, rest.data(), rest.size());
  PutOctal(header + 100, 8, entry.mode);
  PutOctal(header + 108, 8, 0);  // owner
  PutOctal(header + 116, 8, 0);  // group
  if (!PutOctal(header + 124, 12, entry.bytes.size())) {
    error = entry.name + " is too big for a tar archive";
    return false;
  }
  PutOctal(header + 136, 12, kEntryTime);
  header[156] = folder ? '5' : '0';
  std::memcpy(header + 257, "ustar", 6);
  std::memcpy(header + 263, "00", 2);
  std::memcpy(header + 265, "root", 4);
  std::memcpy(header + 297, "root", 4);
  std::memcpy(header + 345, prefix.data(), prefix.size());
  // The checksum is summed with its own field as spaces.
  std::memset(header + 148, ' ', 8);
  unsigned sum = 0;
  for (const char byte : header) sum += static_cast<unsigned char>(byte);
  PutOctal(header + 148, 7, sum);
  tar.append(header, kBlock);
  tar += entry.bytes;
  tar.append((kBlock - entry.bytes.size() % kBlock) % kBlock, '\0');
  return true;
}

bool Gzipped(const std::string& bytes, std::string& compressed, std::string& error) {
  z_stream stream{};
  // 15 + 16: a gzip wrapper; zlib leaves its time field 0.
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    error = "zlib could not start compressing";
    return false;
  }
  compressed.resize(deflateBound(&stream, bytes.size()));
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(compressed.data());
  stream.avail_out = static_cast<uInt>(compressed.size());
  const int status = deflate(&stream, Z_FINISH);
  compressed.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) error = "zlib could not compress the archive";
  return status == Z_STREAM_END;
}

}  // namespace

bool GzippedTar(std::vector<TarEntry> entries, std::string& archive, std::string& error) {
  std::sort(entries.begin(), entries.end(),
            [](const TarEntry& a, const TarEntry& b) { return a.name < b.name; });
  std::string tar;
  for (const TarEntry& entry : entries) {
    if (!AppendEntry(entry, tar, error)) return false;
  }
  tar.append(2 * kBlock, '\0');  // the end of the archive
  return Gzipped(tar, archive, error);
}
