#pragma once
// Owned GDI objects (bitmaps, fonts, regions) and memory DCs, released when
// their owner goes away.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace frontends::win32_window {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct MemoryDcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};

template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

}  // namespace frontends::win32_window
