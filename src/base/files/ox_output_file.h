#pragma once
// A file written anew from its first byte: created in place of whatever
// file or link had its name, written in whole pieces, given its time and
// permissions through the open descriptor, then closed. Native paths.
#include <cstdint>
#include <string>

namespace ox_base {

class OutputFile {
 public:
  OutputFile() = default;
  // Creates `path` for writing. A file or link already there is removed
  // first, never written through: a link could point anywhere, a read-only
  // file would refuse, a hard link would change its twin. A folder in the
  // way fails; a device is written to. An empty object on failure,
  // `problem` saying why.
  static OutputFile Create(const std::string& path, std::string& problem);

  ~OutputFile();
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  explicit operator bool() const { return descriptor_ >= 0; }

  // Writes all `size` bytes; false when they do not all reach the file.
  bool Write(const void* data, std::size_t size, std::string& problem);

  // The last-write time in whole seconds since 1970-01-01 UTC; the access
  // time is left alone. The following setters report no failure: the
  // content is what matters.
  void SetLastWriteTime(std::int64_t unixSeconds);
  // The permission bits rwx for owner, group and others.
  void SetPermissions(unsigned mode);
  void RemoveWritePermission();

  // False when the file was not open or the close failed.
  bool Close(std::string& problem);

 private:
  explicit OutputFile(int descriptor) : descriptor_(descriptor) {}
  // The platform's close of a descriptor: 0, or -1 with errno.
  static int CloseDescriptor(int descriptor);
  // The platform's write of some of `size` bytes: how many, or -1 with errno.
  static long WriteSome(int descriptor, const char* bytes, std::size_t size);
  int descriptor_ = -1;
};

}  // namespace ox_base
