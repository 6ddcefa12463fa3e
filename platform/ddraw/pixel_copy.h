// The copy kernels behind BltFast: one-to-one block copies between pixel memories
// of the same format, optionally colour keyed. Callers have checked the bounds.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win/base.h"

namespace orv::platform {

// A block of pixel rows: the address of its top-left pixel and the row pitch in bytes.
struct PixelBlock {
  std::uint8_t* bits = nullptr;
  std::ptrdiff_t pitch = 0;
};
struct ConstPixelBlock {
  const std::uint8_t* bits = nullptr;
  std::ptrdiff_t pitch = 0;
};

// Which colour key decides the pixels a keyed copy writes.
enum class CopyKey {
  kNone,         // every pixel
  kSource,       // source pixels inside the key range are skipped
  kDestination,  // only destination pixels inside the key range are overwritten
};

// An inclusive range of pixel values.
struct KeyRange {
  DWORD low = 0;
  DWORD high = 0;
};

// Copies width x height pixels of 1 or 4 bytes. The blocks must not overlap.
void CopyPixels(PixelBlock dest, ConstPixelBlock source, int width, int height, int bytes_per_pixel,
                CopyKey key, KeyRange range);

}  // namespace orv::platform
