#include "ddraw/direct_draw.h"

#include <algorithm>
#include <string>

#include "core/host.h"
#include "core/reset.h"
#include "ddraw/default_palette.h"
#include "ddraw/palette.h"
#include "ddraw/surface.h"
#include "win/user.h"

const IID IID_IDirectDraw7 = {
    0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
const IID IID_IDirectDrawSurface7 = {
    0x06675A80, 0x3B9B, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
const IID IID_IDirectDrawPalette = {
    0x6C14DB84, 0xA733, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

namespace orv::platform {
namespace {

// Largest off-screen surface side we hand out.
constexpr DWORD kMaxSurfaceSide = 16384;

struct DirectDrawObjects {
  std::vector<DirectDraw*> live;
  DirectDraw* exclusive_owner = nullptr;  // the one object holding the exclusive level
};

DirectDrawObjects& Objects() {
  static DirectDrawObjects objects;
  return objects;
}

void ResetDirectDraw() {
  const auto live = Objects().live;
  for (DirectDraw* object : live)
    object->EndLife();
  Objects() = DirectDrawObjects();
}

const ResetHook kReset(ResetOrder::kDirectDraw, &ResetDirectDraw);

// The fields of a surface description the journal shows: flags, caps, width, height.
std::string DescriptionText(const DDSURFACEDESC2* desc) {
  if (desc == nullptr)
    return JournalText(nullptr);
  return JournalText(Hex(desc->dwFlags), Hex(desc->ddsCaps.dwCaps), desc->dwWidth, desc->dwHeight);
}

}  // namespace

DirectDraw::DirectDraw() {
  Objects().live.push_back(this);
}

HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
  if (auto early = OpenCall(*this, "IDirectDraw7::SetCooperativeLevel", window, Hex(flags)))
    return *early;
  constexpr DWORD kKnownFlags = DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES |
                                DDSCL_NORMAL | DDSCL_EXCLUSIVE | DDSCL_ALLOWMODEX |
                                DDSCL_MULTITHREADED | DDSCL_FPUSETUP | DDSCL_FPUPRESERVE;
  const bool exclusive = (flags & DDSCL_EXCLUSIVE) != 0;
  const bool fullscreen = (flags & DDSCL_FULLSCREEN) != 0;
  const bool normal = (flags & DDSCL_NORMAL) != 0;
  if ((flags & ~kKnownFlags) != 0 || exclusive != fullscreen || normal == exclusive) {
    return DDERR_INVALIDPARAMS;
  }
  // The exclusive level needs a window; the normal one takes null for the desktop.
  if ((exclusive || window != nullptr) && !IsWindow(window))
    return DDERR_INVALIDPARAMS;
  if (exclusive) {
    DirectDraw*& owner = Objects().exclusive_owner;
    if (owner != nullptr && owner != this)
      return DDERR_EXCLUSIVEMODEALREADYSET;
    owner = this;
  } else if (exclusive_) {
    LeaveExclusiveMode();
  }
  window_ = window;
  exclusive_ = exclusive;
  level_set_ = true;
  if (foreground_listener_ == 0) {
    foreground_listener_ =
        AddForegroundListener([this](const ForegroundState& state) { OnForegroundChanged(state); });
  }
  return DD_OK;
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bits_per_pixel,
                                   DWORD refresh_rate, DWORD flags) {
  if (auto early = OpenCall(*this, "IDirectDraw7::SetDisplayMode", width, height, bits_per_pixel,
                            refresh_rate, Hex(flags))) {
    return *early;
  }
  if ((flags & ~DDSDM_STANDARDVGAMODE) != 0)
    return DDERR_INVALIDPARAMS;
  if (flags != 0)
    return DDERR_UNSUPPORTED;
  if (!exclusive_ || display_away_)
    return DDERR_NOEXCLUSIVEMODE;
  // The one mode of this display: 640x480, 8 bits per pixel, 60 Hz.
  if (width != kDisplayWidth || height != kDisplayHeight || bits_per_pixel != 8 ||
      (refresh_rate != 0 && refresh_rate != FramePacer::kFramesPerSecond)) {
    return DDERR_INVALIDMODE;
  }
  mode_set_ = true;
  TellHostMode(true);
  return DD_OK;
}

HRESULT DirectDraw::RestoreDisplayMode() {
  if (auto early = OpenCall(*this, "IDirectDraw7::RestoreDisplayMode"))
    return *early;
  if (mode_set_) {
    mode_set_ = false;
    if (!display_away_)
      TellHostMode(false);
  }
  return DD_OK;
}

HRESULT DirectDraw::GetDisplayMode(LPDDSURFACEDESC2 desc) {
  if (auto early = OpenCall(*this, "IDirectDraw7::GetDisplayMode"))
    return *early;
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
    return DDERR_INVALIDPARAMS;
  *desc = DDSURFACEDESC2{};
  desc->dwSize = sizeof(DDSURFACEDESC2);
  desc->dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT | DDSD_REFRESHRATE;
  desc->dwWidth = kDisplayWidth;
  desc->dwHeight = kDisplayHeight;
  desc->lPitch = kDisplayWidth * BytesPerPixel(display_format());
  desc->dwRefreshRate = FramePacer::kFramesPerSecond;
  desc->ddpfPixelFormat = DescribeFormat(display_format());
  return DD_OK;
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                                  IUnknown* outer) {
  if (auto early = OpenCall(*this, "IDirectDraw7::CreateSurface", DescriptionText(desc)))
    return *early;
  if (surface == nullptr || desc == nullptr)
    return DDERR_INVALIDPARAMS;
  *surface = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  if (desc->dwSize != sizeof(DDSURFACEDESC2))
    return DDERR_INVALIDPARAMS;
  if ((desc->dwFlags & DDSD_PIXELFORMAT) != 0 &&
      desc->ddpfPixelFormat.dwSize != sizeof(DDPIXELFORMAT)) {
    return DDERR_INVALIDPARAMS;
  }
  constexpr DWORD kKnownFields = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_BACKBUFFERCOUNT |
                                 DDSD_PIXELFORMAT | DDSD_CKSRCBLT | DDSD_CKDESTBLT;
  if ((desc->dwFlags & ~kKnownFields) != 0)
    return DDERR_INVALIDPARAMS;
  if (!level_set_)
    return DDERR_NOCOOPERATIVELEVELSET;

  const DWORD caps = (desc->dwFlags & DDSD_CAPS) != 0 ? desc->ddsCaps.dwCaps : 0;
  Surface* made = nullptr;
  const HRESULT result = (caps & DDSCAPS_PRIMARYSURFACE) != 0 ? CreatePrimary(*desc, made)
                                                              : CreateOffscreen(*desc, made);
  if (result != DD_OK)
    return result;
  made->TakeColorKeys(*desc);
  *surface = made;
  return DD_OK;
}

HRESULT DirectDraw::CreatePrimary(const DDSURFACEDESC2& desc, Surface*& made) {
  const DWORD caps = desc.ddsCaps.dwCaps;
  constexpr DWORD kPrimaryCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX |
                                 DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM | DDSCAPS_VISIBLE;
  if ((caps & ~kPrimaryCaps) != 0)
    return DDERR_INVALIDCAPS;
  // The primary is the display: it takes the display's size and format.
  if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) != 0) {
    return DDERR_INVALIDPARAMS;
  }
  const bool flipping = (caps & DDSCAPS_FLIP) != 0;
  const bool has_count = (desc.dwFlags & DDSD_BACKBUFFERCOUNT) != 0;
  if (flipping != ((caps & DDSCAPS_COMPLEX) != 0) || flipping != has_count) {
    return DDERR_INVALIDCAPS;
  }
  if (has_count && desc.dwBackBufferCount == 0)
    return DDERR_INVALIDPARAMS;
  // Pictures reach the host through Flip only, as 8-bit frames of a two-surface chain.
  if (!flipping || desc.dwBackBufferCount > 1)
    return DDERR_UNSUPPORTED;
  if (primary_ != nullptr)
    return DDERR_PRIMARYSURFACEALREADYEXISTS;
  if (!exclusive_)
    return DDERR_NOEXCLUSIVEMODE;
  if (display_format() != SurfaceFormat::kIndexed8)
    return DDERR_UNSUPPORTED;

  constexpr DWORD kChainCaps =
      DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
  auto* primary = new Surface(
      *this, SurfaceRole::kPrimary, kDisplayWidth, kDisplayHeight, SurfaceFormat::kIndexed8,
      kChainCaps | DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER | DDSCAPS_VISIBLE);
  auto* back_buffer = new Surface(*this, SurfaceRole::kBackBuffer, kDisplayWidth, kDisplayHeight,
                                  SurfaceFormat::kIndexed8, kChainCaps | DDSCAPS_BACKBUFFER);
  primary->AttachBackBuffer(back_buffer);
  surfaces_.push_back(primary);
  surfaces_.push_back(back_buffer);
  primary_ = primary;
  made = primary;
  return DD_OK;
}

HRESULT DirectDraw::CreateOffscreen(const DDSURFACEDESC2& desc, Surface*& made) {
  DWORD caps = desc.ddsCaps.dwCaps;
  constexpr DWORD kVideoMemory = DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
  constexpr DWORD kOffscreenCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | kVideoMemory;
  if ((caps & ~kOffscreenCaps) != 0)
    return DDERR_INVALIDCAPS;
  if ((caps & DDSCAPS_SYSTEMMEMORY) != 0 && (caps & kVideoMemory) != 0)
    return DDERR_INVALIDCAPS;
  if ((desc.dwFlags & DDSD_BACKBUFFERCOUNT) != 0)
    return DDERR_INVALIDPARAMS;
  if ((desc.dwFlags & DDSD_WIDTH) == 0 || (desc.dwFlags & DDSD_HEIGHT) == 0 || desc.dwWidth == 0 ||
      desc.dwHeight == 0) {
    return DDERR_INVALIDPARAMS;
  }
  if (desc.dwWidth > kMaxSurfaceSide || desc.dwHeight > kMaxSurfaceSide) {
    return (caps & DDSCAPS_SYSTEMMEMORY) != 0 ? DDERR_OUTOFMEMORY : DDERR_OUTOFVIDEOMEMORY;
  }
  SurfaceFormat format = display_format();
  if ((desc.dwFlags & DDSD_PIXELFORMAT) != 0) {
    if (HRESULT read = ReadFormat(desc.ddpfPixelFormat, format); read != DD_OK)
      return read;
  }
  if ((caps & DDSCAPS_SYSTEMMEMORY) == 0)
    caps |= kVideoMemory;
  auto* surface =
      new Surface(*this, SurfaceRole::kOffscreen, static_cast<int>(desc.dwWidth),
                  static_cast<int>(desc.dwHeight), format, caps | DDSCAPS_OFFSCREENPLAIN);
  surfaces_.push_back(surface);
  made = surface;
  return DD_OK;
}

HRESULT DirectDraw::CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                                  IUnknown* outer) {
  if (auto early = OpenCall(*this, "IDirectDraw7::CreatePalette", Hex(flags)))
    return *early;
  if (palette == nullptr || entries == nullptr)
    return DDERR_INVALIDPARAMS;
  *palette = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  constexpr DWORD kSmallPalettes = DDPCAPS_1BIT | DDPCAPS_2BIT | DDPCAPS_4BIT;
  constexpr DWORD kKnownFlags = kSmallPalettes | DDPCAPS_8BIT | DDPCAPS_8BITENTRIES |
                                DDPCAPS_INITIALIZE | DDPCAPS_PRIMARYSURFACE | DDPCAPS_ALLOW256 |
                                DDPCAPS_VSYNC;
  if ((flags & ~kKnownFlags) != 0 || (flags & DDPCAPS_8BITENTRIES) != 0) {
    return DDERR_INVALIDPARAMS;
  }
  if ((flags & kSmallPalettes) != 0)
    return DDERR_UNSUPPORTED;
  if ((flags & DDPCAPS_8BIT) == 0)
    return DDERR_INVALIDPARAMS;
  if (!level_set_)
    return DDERR_NOCOOPERATIVELEVELSET;
  auto* made = new Palette(*this, flags, entries);
  palettes_.push_back(made);
  *palette = made;
  return DD_OK;
}

HRESULT DirectDraw::RestoreAllSurfaces() {
  if (auto early = OpenCall(*this, "IDirectDraw7::RestoreAllSurfaces"))
    return *early;
  if (display_away_)
    return DDERR_WRONGMODE;
  for (Surface* surface : surfaces_)
    surface->RestoreMemory();
  return DD_OK;
}

HRESULT DirectDraw::TestCooperativeLevel() {
  if (auto early = OpenCall(*this, "IDirectDraw7::TestCooperativeLevel"))
    return *early;
  if (exclusive_ && display_away_)
    return DDERR_NOEXCLUSIVEMODE;
  const DirectDraw* owner = Objects().exclusive_owner;
  if (!exclusive_ && owner != nullptr && owner != this)
    return DDERR_EXCLUSIVEMODEALREADYSET;
  return DD_OK;
}

const PALETTEENTRY* DirectDraw::DisplayPalette() const {
  const PALETTEENTRY* attached = primary_ != nullptr ? primary_->attached_palette() : nullptr;
  return attached != nullptr ? attached : DefaultDisplayPalette();
}

void DirectDraw::Forget(Surface* surface) {
  std::erase(surfaces_, surface);
  if (primary_ == surface)
    primary_ = nullptr;
}

void DirectDraw::Forget(Palette* palette) {
  std::erase(palettes_, palette);
}

void DirectDraw::OnForegroundChanged(const ForegroundState& state) {
  if (!exclusive_)
    return;
  // A display the host shows in a window stays while another window is active.
  const bool ours =
      !state.minimized && (state.window == window_ || CurrentHost().KeepsDisplayWhenInactive());
  if (!ours && !display_away_) {
    display_away_ = true;
    for (Surface* surface : surfaces_)
      surface->MarkLost();
    if (mode_set_)
      TellHostMode(false);
  } else if (ours && display_away_) {
    display_away_ = false;
    if (mode_set_)
      TellHostMode(true);
  }
}

void DirectDraw::TellHostMode(bool exclusive) {
  CurrentHost().SetExclusiveMode(exclusive, kDisplayWidth, kDisplayHeight);
}

void DirectDraw::LeaveExclusiveMode() {
  if (mode_set_ && !display_away_)
    TellHostMode(false);
  mode_set_ = false;
  display_away_ = false;
  exclusive_ = false;
  if (Objects().exclusive_owner == this)
    Objects().exclusive_owner = nullptr;
}

void DirectDraw::OnFinalRelease() {
  // Surfaces first: they hold references to the palettes.
  while (!surfaces_.empty())
    surfaces_.front()->EndLife();
  while (!palettes_.empty())
    palettes_.front()->EndLife();
  LeaveExclusiveMode();
  if (foreground_listener_ != 0) {
    RemoveForegroundListener(foreground_listener_);
    foreground_listener_ = 0;
  }
  std::erase(Objects().live, this);
}

}  // namespace orv::platform

HRESULT DirectDrawCreateEx(GUID* device, LPVOID* object, REFIID iid, IUnknown* outer) {
  using namespace orv::platform;
  if (auto early = OpenCall(kInjectedResult, "DirectDrawCreateEx", device, outer)) {
    if (object != nullptr)
      *object = nullptr;
    return *early;
  }
  if (object == nullptr)
    return DDERR_INVALIDPARAMS;
  *object = nullptr;
  if (outer != nullptr)
    return CLASS_E_NOAGGREGATION;
  if (!IsEqualIID(iid, IID_IDirectDraw7))
    return DDERR_INVALIDPARAMS;
  if (device != nullptr && device != DDCREATE_HARDWAREONLY && device != DDCREATE_EMULATIONONLY) {
    return DDERR_INVALIDDIRECTDRAWGUID;
  }
  if (!CurrentHost().DisplayAvailable())
    return DDERR_NODIRECTDRAWHW;
  *object = static_cast<IDirectDraw7*>(new DirectDraw());
  return DD_OK;
}
