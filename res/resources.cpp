#include "res/resources.h"

#include "res/embedded_images.h"

namespace res {

std::optional<ResourceBytes> FindResource(int id, std::string_view type) {
  for (std::size_t i = 0; i < kEmbeddedImageCount; ++i) {
    const EmbeddedImage& image = kEmbeddedImages[i];
    if (image.id == id && type == image.type) {
      return ResourceBytes{image.begin, static_cast<std::size_t>(image.end - image.begin)};
    }
  }
  return std::nullopt;
}

}  // namespace res
