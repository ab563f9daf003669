#pragma once
// The program's own resources, found by integer id and type name as the
// launcher asks for them: "PNG" for the button and bar images, "BITMAP" for
// the window background, "ICON" for the window icon.
#include <cstddef>
#include <optional>
#include <string_view>

namespace res {

constexpr std::string_view kTypePng = "PNG";
constexpr std::string_view kTypeBitmap = "BITMAP";
constexpr std::string_view kTypeIcon = "ICON";

struct ResourceBytes {
  const unsigned char* data;
  std::size_t size;
};

// The bytes of one resource (a PNG, BMP or ICO file); nullopt when the
// program has no resource of that id and type.
std::optional<ResourceBytes> FindResource(int id, std::string_view type);

}  // namespace res
