#include "base/files/ox_archive.h"

#include <algorithm>
#include <cstring>

#include "base/init/ox_base.h"
#include "base/log/ox_log.h"

namespace ox_base {

void OxArchive::SerializeBits(void* buffer, int bits) {
  int bytes = (bits + 7) / 8;
  Serialize(buffer, bytes);
  if (IsLoading() && bits % 8 != 0) {
    unsigned char& last = static_cast<unsigned char*>(buffer)[bytes - 1];
    last &= static_cast<unsigned char>((1u << (bits % 8)) - 1);
  }
}

void OxArchive::Seek(int64_t, int) {}

void OxArchive::Flush() {}

bool OxArchive::Close() { return !HasError(); }

bool OxArchive::IsEnd() const {
  int64_t position = Tell();
  return position != -1 && position >= GetSize();
}

OxMemoryArchive::OxMemoryArchive() : OxArchive(kStoring) {}

OxMemoryArchive::OxMemoryArchive(OxArchive& source) : OxArchive(kLoading) {
  int64_t size = source.GetSize();
  if (size <= 0) return;
  source.Seek(0, 0);
  m_buffer.resize(static_cast<size_t>(size));
  int64_t done = 0;
  while (done < size) {
    int chunk = static_cast<int>(std::min<int64_t>(size - done, 1 << 30));
    int got = source.Serialize(m_buffer.data() + done, chunk);
    if (got <= 0) break;
    done += got;
  }
  m_size = done;
  if (done < size || source.HasError()) SetError();
}

void OxMemoryArchive::Grow(int64_t needed) {
  int64_t capacity = m_buffer.empty() ? 256 : static_cast<int64_t>(m_buffer.size());
  while (capacity < needed) capacity *= 2;
  m_buffer.resize(static_cast<size_t>(capacity));
}

int OxMemoryArchive::Serialize(void* buffer, int length) {
  if (length <= 0) return 0;
  if (IsLoading()) {
    int64_t left = std::max<int64_t>(0, m_start + m_size - m_position);
    int count = static_cast<int>(std::min<int64_t>(length, left));
    if (count > 0) std::memcpy(buffer, m_buffer.data() + m_position, count);
    m_position += count;
    return count;
  }
  int64_t end = m_position + length;
  if (end > static_cast<int64_t>(m_buffer.size())) Grow(end);
  std::memcpy(m_buffer.data() + m_position, buffer, length);
  m_position = end;
  if (m_position - m_start > m_size) m_size = m_position - m_start;
  return length;
}

void OxMemoryArchive::Seek(int64_t offset, int origin) {
  bool overflow = offset < 0 || (IsLoading() && offset > m_size);
  if (overflow) {
    SetError();
    if (SmartPtr<OxLog> log = OxBase::GetBaseLog())
      log->Error("OxMemoryArchive: overflow, size = %d, offset = %d\n", static_cast<int>(m_size),
                 static_cast<int>(offset));
    return;
  }
  if (!IsLoading() && offset > static_cast<int64_t>(m_buffer.size())) Grow(offset);
  int64_t position = m_position;
  switch (origin) {
    case 0: position = m_start + offset; break;
    case 1: position = m_position + offset; break;
    case 2: position = m_start + m_size - offset; break;
    default: return;
  }
  // A relative seek can pass the end; a loading archive then reads nothing
  // and a storing one grows when written.
  m_position = std::max(m_start, position);
}

bool OxMemoryArchive::Close() {
  std::vector<char>().swap(m_buffer);
  m_position = m_start = m_size = 0;
  return !HasError();
}

}  // namespace ox_base
