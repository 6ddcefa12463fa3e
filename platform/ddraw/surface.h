// IDirectDrawSurface7: pixel memory in software. A primary surface and its back buffer
// form a flipping chain: the back buffer lives as long as the primary, whatever its
// own reference count says, and Flip swaps their memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/com_object.h"
#include "core/draw_history.h"
#include "ddraw/pixel_copy.h"
#include "ddraw/surface_format.h"
#include "win/ddraw.h"

namespace orv::platform {

class DirectDraw;
class Palette;

enum class SurfaceRole { kOffscreen, kPrimary, kBackBuffer };

class Surface final : public ComObject<Surface, IDirectDrawSurface7> {
 public:
  static constexpr std::string_view kInterfaceName = "IDirectDrawSurface7";
  static constexpr const IID* kInterfaces[] = {&IID_IDirectDrawSurface7};
  static constexpr HRESULT kReleasedResult = DDERR_INVALIDOBJECT;

  Surface(DirectDraw& owner, SurfaceRole role, int width, int height, SurfaceFormat format,
          DWORD caps);

  HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT source_rect,
                  DWORD flags) override;
  HRESULT Flip(LPDIRECTDRAWSURFACE7 target_override, DWORD flags) override;
  HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* attached) override;
  HRESULT GetCaps(LPDDSCAPS2 caps) override;
  HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT GetDC(HDC* dc) override;
  HRESULT GetPalette(LPDIRECTDRAWPALETTE* palette) override;
  HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override;
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
  HRESULT IsLost() override;
  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
  HRESULT ReleaseDC(HDC dc) override;
  HRESULT Restore() override;
  HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT SetPalette(LPDIRECTDRAWPALETTE palette) override;
  HRESULT Unlock(LPRECT rect) override;

  // For the DirectDraw object.
  SurfaceRole role() const { return role_; }
  bool lost() const { return lost_; }
  // The display took the surface's memory away: its pixels are gone.
  void MarkLost();
  // Brings the memory back, zeroed (with the back buffer for a primary).
  void RestoreMemory();
  void AttachBackBuffer(Surface* back_buffer);
  // The colour keys given with DDSD_CKSRCBLT / DDSD_CKDESTBLT at creation.
  void TakeColorKeys(const DDSURFACEDESC2& desc);
  const PALETTEENTRY* attached_palette() const;

 protected:
  void OnFinalRelease() override;
  // The chain's own reference: a back buffer ends with its primary.
  bool PlatformHoldsLastReference() const override { return front_ != nullptr; }

 private:
  // Answers why the pixels cannot be used now, or DD_OK.
  HRESULT CheckPixelsUsable() const;
  DDSURFACEDESC2 Describe() const;
  PixelBlock BlockAt(int x, int y) {
    return {pixels_.data() + y * static_cast<std::ptrdiff_t>(pitch_) + x * bytes_per_pixel(),
            pitch_};
  }
  ConstPixelBlock BlockAt(int x, int y) const {
    return {pixels_.data() + y * static_cast<std::ptrdiff_t>(pitch_) + x * bytes_per_pixel(),
            pitch_};
  }
  int bytes_per_pixel() const { return BytesPerPixel(format_); }
  void ClearPixels();
  // Copies `copy`'s rectangle from `from`, where this memory's history shows it is needed.
  void DrawCopyFrom(const Surface& from, const DrawCopy& copy);

  DirectDraw* owner_;
  SurfaceRole role_;
  int width_;
  int height_;
  int pitch_;
  SurfaceFormat format_;
  DWORD caps_;
  std::vector<std::uint8_t> pixels_;
  DrawHistory history_;             // of pixels_, and swapped with them
  Surface* back_buffer_ = nullptr;  // of a primary
  Surface* front_ = nullptr;        // of a back buffer, while its primary lives
  Palette* palette_ = nullptr;      // holds a reference
  std::optional<DDCOLORKEY> source_key_;
  std::optional<DDCOLORKEY> dest_key_;
  bool lost_ = false;
  bool locked_ = false;
  HDC dc_ = nullptr;
};

}  // namespace orv::platform
