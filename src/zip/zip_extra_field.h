#pragma once
// The blocks of an extra field: each a 2-byte id and a 2-byte data size,
// then the data.
#include <cstddef>
#include <cstdint>
#include <optional>

struct ExtraBlock {
  const unsigned char* data = nullptr;
  // The bytes of the data inside the extra field: fewer than the block
  // declares when the field ends first.
  std::size_t size = 0;
  // The field holds all the data the block declares.
  bool whole = false;
};

// The first block with `id` in an extra field of `length` bytes.
std::optional<ExtraBlock> FindExtraBlock(const unsigned char* extra, std::size_t length, std::uint16_t id);
