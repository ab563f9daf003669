#pragma once
// Images from the program's resources and from files.
#include <string>
#include <string_view>

#include "platform/canvas.h"

namespace ui {

// Decodes the resource of that id and type (the launcher always asks for
// "PNG") into `bitmap`. On any failure `bitmap` stays empty; nothing is
// reported.
void LoadPngResource(int id, std::string_view type, platform::Bitmap& bitmap);

// Decodes a bitmap resource (type "BITMAP"); empty on failure.
platform::Bitmap LoadBitmapResource(int id);

// Loads a ".bmp" file; empty when it cannot be read or decoded.
platform::Bitmap LoadBitmapFile(const std::string& path);

int BitmapWidth(const platform::Bitmap& bitmap);
int BitmapHeight(const platform::Bitmap& bitmap);

}  // namespace ui
