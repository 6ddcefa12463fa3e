// DirectDraw surfaces for tests: the exclusive display a program sets up, and a surface's
// pixels read and written through Lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform.h"

namespace orv::test_support {

// DirectDraw in exclusive 640x480x8 mode on `window` and its primary surface, which flips
// to one back buffer. Fails the test at the first step that fails.
void CreateExclusiveDisplay(HWND window, DWORD cooperation, LPDIRECTDRAW7& direct_draw,
                            LPDIRECTDRAWSURFACE7& primary);

// A whole surface locked (DDLOCK_WAIT) for as long as this lives.
class LockedSurface {
 public:
  explicit LockedSurface(LPDIRECTDRAWSURFACE7 surface);
  ~LockedSurface();
  LockedSurface(const LockedSurface&) = delete;
  LockedSurface& operator=(const LockedSurface&) = delete;

  // What Lock answered.
  HRESULT result() const { return result_; }
  bool locked() const { return locked_; }
  // Unlocks now; answers what Unlock answered.
  HRESULT Unlock();

  DWORD width() const { return desc_.dwWidth; }
  DWORD height() const { return desc_.dwHeight; }
  // The bytes of a row's pixels, without the padding of the pitch.
  std::size_t row_bytes() const;
  std::uint8_t* Row(DWORD y) const;
  std::uint8_t At(LONG x, LONG y) const { return Row(static_cast<DWORD>(y))[x]; }
  // Every row's pixels, top-down and packed.
  std::vector<std::uint8_t> Rows() const;

 private:
  LPDIRECTDRAWSURFACE7 surface_;
  DDSURFACEDESC2 desc_{};
  HRESULT result_;
  bool locked_ = false;
};

// A surface's pixels as packed rows, read and written through Lock; the test fails where
// the surface does not lock or unlock, or where the pixels are not the surface's size.
std::vector<std::uint8_t> ReadPixels(LPDIRECTDRAWSURFACE7 surface);
void WritePixels(LPDIRECTDRAWSURFACE7 surface, const std::vector<std::uint8_t>& pixels);
void FillPixels(LPDIRECTDRAWSURFACE7 surface, std::uint8_t value);

}  // namespace orv::test_support
