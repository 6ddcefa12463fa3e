// IDirectDraw7: the display device object. It holds the cooperative level, the display
// mode, the exclusive display (lost while its window is out of the foreground) and
// every surface and palette it made; releasing it ends them all, as on Windows.
#pragma once

#include <string_view>
#include <vector>

#include "core/com_object.h"
#include "core/foreground.h"
#include "ddraw/frame_pacer.h"
#include "ddraw/surface_format.h"
#include "win/ddraw.h"

namespace orv::platform {

class Palette;
class Surface;

class DirectDraw final : public ComObject<DirectDraw, IDirectDraw7> {
 public:
  static constexpr std::string_view kInterfaceName = "IDirectDraw7";
  static constexpr const IID* kInterfaces[] = {&IID_IDirectDraw7};
  static constexpr HRESULT kReleasedResult = DDERR_INVALIDOBJECT;

  // The display's size, in the 8-bit mode and on the desktop alike.
  static constexpr int kDisplayWidth = 640;
  static constexpr int kDisplayHeight = 480;

  DirectDraw();

  HRESULT CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                        IUnknown* outer) override;
  HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                        IUnknown* outer) override;
  HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) override;
  HRESULT RestoreDisplayMode() override;
  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits_per_pixel, DWORD refresh_rate,
                         DWORD flags) override;
  HRESULT RestoreAllSurfaces() override;
  HRESULT TestCooperativeLevel() override;

  // For the surfaces and palettes of this object.
  bool display_away() const { return display_away_; }
  SurfaceFormat display_format() const {
    return mode_set_ ? SurfaceFormat::kIndexed8 : SurfaceFormat::kRgb32;
  }
  // The colours on the display: the primary's palette, or the default one.
  const PALETTEENTRY* DisplayPalette() const;
  FramePacer& pacer() { return pacer_; }
  void Forget(Surface* surface);
  void Forget(Palette* palette);

 protected:
  void OnFinalRelease() override;

 private:
  HRESULT CreatePrimary(const DDSURFACEDESC2& desc, Surface*& made);
  HRESULT CreateOffscreen(const DDSURFACEDESC2& desc, Surface*& made);
  void OnForegroundChanged(const ForegroundState& state);
  void LeaveExclusiveMode();
  void TellHostMode(bool exclusive);

  std::vector<Surface*> surfaces_;
  std::vector<Palette*> palettes_;
  Surface* primary_ = nullptr;
  HWND window_ = nullptr;
  bool level_set_ = false;
  bool exclusive_ = false;
  bool mode_set_ = false;
  bool display_away_ = false;
  int foreground_listener_ = 0;
  FramePacer pacer_;
};

}  // namespace orv::platform
