#pragma once
// The table of images compiled into the program (generated at build time).
#include <cstddef>

namespace res {

struct EmbeddedImage {
  int id;
  const char* type;
  const unsigned char* begin;
  const unsigned char* end;
};

extern const EmbeddedImage kEmbeddedImages[];
extern const std::size_t kEmbeddedImageCount;

}  // namespace res
