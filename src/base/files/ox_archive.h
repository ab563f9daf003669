#pragma once
// Byte streams that either load (read) or store (write), and the in-memory
// archive that holds a whole file.
#include <cstdint>
#include <memory>
#include <vector>

namespace ox_base {

class OxArchive;

// An object that can write itself into, or read itself from, an archive.
class OxSerializable {
 public:
  virtual ~OxSerializable() = default;
  virtual void Serialize(OxArchive& archive) = 0;
};

class OxArchive {
 public:
  enum Mode { kStoring = 0, kLoading = 1 };

  explicit OxArchive(Mode mode) : m_mode(mode) {}
  virtual ~OxArchive() = default;
  OxArchive(const OxArchive&) = delete;
  OxArchive& operator=(const OxArchive&) = delete;

  // Moves (bits + 7) / 8 bytes; when loading, the bits of the last byte
  // above the count are cleared.
  void SerializeBits(void* buffer, int bits);
  // Loading: reads up to length bytes; storing: writes length bytes.
  // Returns the count moved.
  virtual int Serialize(void* buffer, int length) = 0;
  // origin 0 from the start, 1 from the current position, 2 from the end.
  virtual void Seek(int64_t offset, int origin);
  virtual void Flush();
  // Releases the file or memory; true when no error occurred.
  virtual bool Close();
  virtual bool HasError() const { return m_error; }
  virtual int64_t Tell() const { return -1; }
  virtual int64_t GetSize() const { return -1; }
  bool IsEnd() const;
  void SerializeObject(OxSerializable& object) { object.Serialize(*this); }

  bool IsLoading() const { return (m_mode & kLoading) != 0; }

 protected:
  void SetError() { m_error = true; }

 private:
  int m_mode;
  bool m_error = false;
};

using OxArchivePtr = std::unique_ptr<OxArchive>;

class OxMemoryArchive : public OxArchive {
 public:
  // A storing archive with an empty, growing buffer.
  OxMemoryArchive();
  // A loading archive holding a copy of all bytes of the source.
  explicit OxMemoryArchive(OxArchive& source);

  int Serialize(void* buffer, int length) override;
  void Seek(int64_t offset, int origin) override;
  bool Close() override;
  int64_t Tell() const override { return m_position - m_start; }
  int64_t GetSize() const override { return m_size; }

  const char* Data() const { return m_buffer.data() + m_start; }

 private:
  void Grow(int64_t needed);

  std::vector<char> m_buffer;  // its size is the capacity
  int64_t m_start = 0;
  int64_t m_position = 0;
  int64_t m_size = 0;
};

}  // namespace ox_base
