#include "ddraw/surface.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "core/device_context.h"
#include "core/host.h"
#include "ddraw/direct_draw.h"
#include "ddraw/palette.h"

namespace orv::platform {
namespace {

// 8-bit rows are padded to whole 32-bit words, as display drivers commonly do.
int PitchFor(int width, SurfaceFormat format) {
  return format == SurfaceFormat::kIndexed8 ? (width + 3) & ~3 : width * 4;
}

bool Overlaps(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string CapsText(const DDSCAPS2* caps) {
  return caps != nullptr ? JournalText(Hex(caps->dwCaps)) : JournalText(nullptr);
}

std::string KeyText(const DDCOLORKEY* key) {
  if (key == nullptr)
    return JournalText(nullptr);
  return JournalText(Hex(key->dwColorSpaceLowValue)) + ".." +
         JournalText(Hex(key->dwColorSpaceHighValue));
}

}  // namespace

Surface::Surface(DirectDraw& owner, SurfaceRole role, int width, int height, SurfaceFormat format,
                 DWORD caps)
    : owner_(&owner),
      role_(role),
      width_(width),
      height_(height),
      pitch_(PitchFor(width, format)),
      format_(format),
      caps_(caps),
      pixels_(static_cast<std::size_t>(pitch_) * height) {}

HRESULT Surface::CheckPixelsUsable() const {
  if (lost_)
    return DDERR_SURFACELOST;
  if (locked_ || dc_ != nullptr)
    return DDERR_SURFACEBUSY;
  return DD_OK;
}

HRESULT Surface::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT source_rect,
                         DWORD flags) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::BltFast", handle(), x, y, source,
                            source_rect, Hex(flags))) {
    return *early;
  }
  auto* from = dynamic_cast<Surface*>(source);
  if (from == nullptr)
    return DDERR_INVALIDPARAMS;
  if (from->released())
    return DDERR_INVALIDOBJECT;
  constexpr DWORD kKnownFlags =
      DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DESTCOLORKEY | DDBLTFAST_WAIT | DDBLTFAST_DONOTWAIT;
  const DWORD key_flags = flags & (DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DESTCOLORKEY);
  if ((flags & ~kKnownFlags) != 0 ||
      key_flags == (DDBLTFAST_SRCCOLORKEY | DDBLTFAST_DESTCOLORKEY)) {
    return DDERR_INVALIDPARAMS;
  }
  if (from->format_ != format_)
    return DDERR_INVALIDPIXELFORMAT;

  // One-to-one and unclipped: the whole rectangle must lie inside both surfaces.
  const RECT area = source_rect != nullptr ? *source_rect : RECT{0, 0, from->width_, from->height_};
  if (area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
      area.right > from->width_ || area.bottom > from->height_) {
    return DDERR_INVALIDRECT;
  }
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (std::uint64_t{x} + width > static_cast<std::uint64_t>(width_) ||
      std::uint64_t{y} + height > static_cast<std::uint64_t>(height_)) {
    return DDERR_INVALIDRECT;
  }

  CopyKey key = CopyKey::kNone;
  KeyRange range;
  if (key_flags != 0) {
    const auto& colour_key = key_flags == DDBLTFAST_SRCCOLORKEY ? from->source_key_ : dest_key_;
    if (!colour_key)
      return DDERR_NOCOLORKEY;
    key = key_flags == DDBLTFAST_SRCCOLORKEY ? CopyKey::kSource : CopyKey::kDestination;
    range = {colour_key->dwColorSpaceLowValue, colour_key->dwColorSpaceHighValue};
  }

  if (HRESULT usable = CheckPixelsUsable(); usable != DD_OK)
    return usable;
  if (HRESULT usable = from->CheckPixelsUsable(); usable != DD_OK)
    return usable;

  const int dest_x = static_cast<int>(x);
  const int dest_y = static_cast<int>(y);
  if (from != this) {
    DrawCopyFrom(*from, {.left = dest_x,
                         .top = dest_y,
                         .right = dest_x + width,
                         .bottom = dest_y + height,
                         .source_content = from->history_.content(),
                         .source_left = static_cast<int>(area.left),
                         .source_top = static_cast<int>(area.top),
                         .key = static_cast<int>(key),
                         .key_low = range.low,
                         .key_high = range.high});
    return DD_OK;
  }
  PixelBlock block = BlockAt(area.left, area.top);
  ConstPixelBlock source_block{block.bits, block.pitch};
  std::vector<std::uint8_t> staging;
  if (Overlaps(area, RECT{dest_x, dest_y, dest_x + width, dest_y + height})) {
    // A copy within one surface reads the rectangle before any of it is overwritten.
    const std::ptrdiff_t row_bytes = static_cast<std::ptrdiff_t>(width) * bytes_per_pixel();
    staging.resize(static_cast<std::size_t>(row_bytes) * height);
    CopyPixels({staging.data(), row_bytes}, source_block, width, height, bytes_per_pixel(),
               CopyKey::kNone, {});
    source_block = {staging.data(), row_bytes};
  }
  CopyPixels(BlockAt(dest_x, dest_y), source_block, width, height, bytes_per_pixel(), key, range);
  history_.Forget();
  return DD_OK;
}

void Surface::DrawCopyFrom(const Surface& from, const DrawCopy& copy) {
  const auto key = static_cast<CopyKey>(copy.key);
  const bool covers_all = key == CopyKey::kNone && copy.left == 0 && copy.top == 0 &&
                          copy.right == width_ && copy.bottom == height_;
  const auto& drawn = history_.copies();
  if (covers_all && history_.known() && drawn.front() == copy) {
    // The memory still holds this very copy's pixels, except under the copies drawn
    // since: only those are copied again.
    for (auto over = drawn.begin() + 1; over != drawn.end(); ++over) {
      CopyPixels(BlockAt(over->left, over->top),
                 from.BlockAt(copy.source_left + over->left, copy.source_top + over->top),
                 over->right - over->left, over->bottom - over->top, bytes_per_pixel(),
                 CopyKey::kNone, {});
    }
  } else {
    CopyPixels(BlockAt(copy.left, copy.top), from.BlockAt(copy.source_left, copy.source_top),
               copy.right - copy.left, copy.bottom - copy.top, bytes_per_pixel(), key,
               {copy.key_low, copy.key_high});
  }
  history_.Record(copy, covers_all);
}

HRESULT Surface::Flip(LPDIRECTDRAWSURFACE7 target_override, DWORD flags) {
  if (auto early =
          OpenCall(*this, "IDirectDrawSurface7::Flip", handle(), target_override, Hex(flags))) {
    return *early;
  }
  if (role_ != SurfaceRole::kPrimary || back_buffer_ == nullptr)
    return DDERR_NOTFLIPPABLE;
  constexpr DWORD kKnownFlags = DDFLIP_WAIT | DDFLIP_DONOTWAIT | DDFLIP_NOVSYNC;
  if ((flags & ~kKnownFlags) != 0)
    return DDERR_INVALIDPARAMS;
  if (target_override != nullptr &&
      target_override != static_cast<IDirectDrawSurface7*>(back_buffer_)) {
    return DDERR_INVALIDPARAMS;
  }
  if (HRESULT usable = CheckPixelsUsable(); usable != DD_OK)
    return usable;
  if (HRESULT usable = back_buffer_->CheckPixelsUsable(); usable != DD_OK)
    return usable;

  // The handles keep their roles; the memory changes places.
  std::swap(pixels_, back_buffer_->pixels_);
  std::swap(history_, back_buffer_->history_);
  Host& host = CurrentHost();
  if ((flags & DDFLIP_NOVSYNC) == 0)
    owner_->pacer().WaitForNextFrame(host);
  // The host may have taken the display away while we waited.
  if (released())
    return DDERR_INVALIDOBJECT;
  if (lost_)
    return DDERR_SURFACELOST;
  PresentedFrame frame;
  frame.pixels = pixels_.data();
  frame.width = width_;
  frame.height = height_;
  frame.pitch = pitch_;
  frame.palette = owner_->DisplayPalette();
  frame.history = &history_;
  host.Present(frame);
  return DD_OK;
}

HRESULT Surface::GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* attached) {
  if (auto early =
          OpenCall(*this, "IDirectDrawSurface7::GetAttachedSurface", handle(), CapsText(caps))) {
    return *early;
  }
  if (caps == nullptr || attached == nullptr)
    return DDERR_INVALIDPARAMS;
  *attached = nullptr;
  Surface* found = role_ == SurfaceRole::kPrimary ? back_buffer_ : front_;
  if (found == nullptr || (found->caps_ & caps->dwCaps) != caps->dwCaps)
    return DDERR_NOTFOUND;
  found->Retain();
  *attached = found;
  return DD_OK;
}

HRESULT Surface::GetCaps(LPDDSCAPS2 caps) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::GetCaps", handle()))
    return *early;
  if (caps == nullptr)
    return DDERR_INVALIDPARAMS;
  *caps = DDSCAPS2{};
  caps->dwCaps = caps_;
  return DD_OK;
}

HRESULT Surface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::GetColorKey", handle(), Hex(flags)))
    return *early;
  if (key == nullptr)
    return DDERR_INVALIDPARAMS;
  if (flags == DDCKEY_SRCOVERLAY || flags == DDCKEY_DESTOVERLAY)
    return DDERR_NOOVERLAYHW;
  if (flags != DDCKEY_SRCBLT && flags != DDCKEY_DESTBLT)
    return DDERR_INVALIDPARAMS;
  const auto& slot = flags == DDCKEY_SRCBLT ? source_key_ : dest_key_;
  if (!slot)
    return DDERR_NOCOLORKEY;
  *key = *slot;
  return DD_OK;
}

HRESULT Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
  if (auto early =
          OpenCall(*this, "IDirectDrawSurface7::SetColorKey", handle(), Hex(flags), KeyText(key))) {
    return *early;
  }
  const DWORD kind = flags & ~DDCKEY_COLORSPACE;
  if (kind == DDCKEY_SRCOVERLAY || kind == DDCKEY_DESTOVERLAY)
    return DDERR_NOOVERLAYHW;
  if (kind != DDCKEY_SRCBLT && kind != DDCKEY_DESTBLT)
    return DDERR_INVALIDPARAMS;
  auto& slot = kind == DDCKEY_SRCBLT ? source_key_ : dest_key_;
  if (key == nullptr) {
    slot.reset();
    return DD_OK;
  }
  DDCOLORKEY value = *key;
  // Without DDCKEY_COLORSPACE the key is the single value of its low bound.
  if ((flags & DDCKEY_COLORSPACE) == 0)
    value.dwColorSpaceHighValue = value.dwColorSpaceLowValue;
  slot = value;
  return DD_OK;
}

void Surface::TakeColorKeys(const DDSURFACEDESC2& desc) {
  if ((desc.dwFlags & DDSD_CKSRCBLT) != 0)
    source_key_ = desc.ddckCKSrcBlt;
  if ((desc.dwFlags & DDSD_CKDESTBLT) != 0)
    dest_key_ = desc.ddckCKDestBlt;
}

HRESULT Surface::GetDC(HDC* dc) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::GetDC", handle()))
    return *early;
  if (dc == nullptr)
    return DDERR_INVALIDPARAMS;
  *dc = nullptr;
  if (dc_ != nullptr)
    return DDERR_DCALREADYCREATED;
  if (HRESULT usable = CheckPixelsUsable(); usable != DD_OK)
    return usable;
  PixelView view;
  view.bits = pixels_.data();
  view.width = width_;
  view.height = height_;
  view.pitch = pitch_;
  view.bits_per_pixel = bytes_per_pixel() * 8;
  if (format_ == SurfaceFormat::kIndexed8)
    view.palette = owner_->DisplayPalette();
  HDC made = CreateSurfaceDC(view);
  if (made == nullptr)
    return DDERR_CANTCREATEDC;
  dc_ = made;
  *dc = made;
  history_.Forget();
  return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC dc) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::ReleaseDC", handle(), dc))
    return *early;
  if (dc_ == nullptr)
    return DDERR_NODC;
  if (dc != dc_)
    return DDERR_INVALIDPARAMS;
  DestroySurfaceDC(dc_);
  dc_ = nullptr;
  history_.Forget();
  return DD_OK;
}

HRESULT Surface::GetPalette(LPDIRECTDRAWPALETTE* palette) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::GetPalette", handle()))
    return *early;
  if (palette == nullptr)
    return DDERR_INVALIDPARAMS;
  *palette = nullptr;
  if (palette_ == nullptr)
    return DDERR_NOPALETTEATTACHED;
  palette_->Retain();
  *palette = palette_;
  return DD_OK;
}

HRESULT Surface::SetPalette(LPDIRECTDRAWPALETTE palette) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::SetPalette", handle(), palette))
    return *early;
  Palette* attached = nullptr;
  if (palette != nullptr) {
    attached = dynamic_cast<Palette*>(palette);
    if (attached == nullptr)
      return DDERR_INVALIDPARAMS;
    if (attached->released())
      return DDERR_INVALIDOBJECT;
  }
  if (format_ != SurfaceFormat::kIndexed8)
    return DDERR_NOTPALETTIZED;
  if (attached == palette_)
    return DD_OK;
  if (attached != nullptr)
    attached->Retain();
  if (palette_ != nullptr)
    palette_->Drop();
  palette_ = attached;
  return DD_OK;
}

const PALETTEENTRY* Surface::attached_palette() const {
  return palette_ != nullptr ? palette_->entries() : nullptr;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT format) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::GetPixelFormat", handle()))
    return *early;
  if (format == nullptr || format->dwSize != sizeof(DDPIXELFORMAT))
    return DDERR_INVALIDPARAMS;
  *format = DescribeFormat(format_);
  return DD_OK;
}

DDSURFACEDESC2 Surface::Describe() const {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc.dwWidth = static_cast<DWORD>(width_);
  desc.dwHeight = static_cast<DWORD>(height_);
  desc.lPitch = pitch_;
  desc.ddpfPixelFormat = DescribeFormat(format_);
  desc.ddsCaps.dwCaps = caps_;
  if (role_ == SurfaceRole::kPrimary) {
    desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
  }
  if (source_key_) {
    desc.dwFlags |= DDSD_CKSRCBLT;
    desc.ddckCKSrcBlt = *source_key_;
  }
  if (dest_key_) {
    desc.dwFlags |= DDSD_CKDESTBLT;
    desc.ddckCKDestBlt = *dest_key_;
  }
  return desc;
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::GetSurfaceDesc", handle()))
    return *early;
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
    return DDERR_INVALIDPARAMS;
  *desc = Describe();
  return DD_OK;
}

HRESULT Surface::IsLost() {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::IsLost", handle()))
    return *early;
  return lost_ ? DDERR_SURFACELOST : DD_OK;
}

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::Lock", handle(), rect, Hex(flags), event))
    return *early;
  if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
    return DDERR_INVALIDPARAMS;
  const RECT area = rect != nullptr ? *rect : RECT{0, 0, width_, height_};
  if (area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
      area.right > width_ || area.bottom > height_) {
    return DDERR_INVALIDRECT;
  }
  if (HRESULT usable = CheckPixelsUsable(); usable != DD_OK)
    return usable;
  *desc = Describe();
  desc->dwFlags |= DDSD_LPSURFACE;
  desc->lpSurface = BlockAt(area.left, area.top).bits;
  locked_ = true;
  history_.Forget();
  return DD_OK;
}

HRESULT Surface::Unlock(LPRECT rect) {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::Unlock", handle(), rect))
    return *early;
  if (!locked_)
    return DDERR_NOTLOCKED;
  locked_ = false;
  history_.Forget();
  return DD_OK;
}

HRESULT Surface::Restore() {
  if (auto early = OpenCall(*this, "IDirectDrawSurface7::Restore", handle()))
    return *early;
  // A back buffer comes back with its primary.
  if (front_ != nullptr)
    return DDERR_IMPLICITLYCREATED;
  if (!lost_)
    return DD_OK;
  if (owner_->display_away())
    return DDERR_WRONGMODE;
  RestoreMemory();
  return DD_OK;
}

void Surface::ClearPixels() {
  std::fill(pixels_.begin(), pixels_.end(), std::uint8_t{0});
  history_.Forget();
}

void Surface::MarkLost() {
  // System memory is the program's own; only display memory is taken away.
  if ((caps_ & DDSCAPS_SYSTEMMEMORY) != 0)
    return;
  lost_ = true;
  ClearPixels();
}

void Surface::RestoreMemory() {
  if (lost_) {
    lost_ = false;
    ClearPixels();
  }
  if (back_buffer_ != nullptr)
    back_buffer_->RestoreMemory();
}

void Surface::AttachBackBuffer(Surface* back_buffer) {
  back_buffer_ = back_buffer;
  back_buffer->front_ = this;
}

void Surface::OnFinalRelease() {
  if (dc_ != nullptr) {
    DestroySurfaceDC(dc_);
    dc_ = nullptr;
  }
  locked_ = false;
  if (palette_ != nullptr) {
    std::exchange(palette_, nullptr)->Drop();
  }
  if (back_buffer_ != nullptr) {
    Surface* back_buffer = std::exchange(back_buffer_, nullptr);
    back_buffer->front_ = nullptr;
    back_buffer->EndLife();
  }
  if (front_ != nullptr) {
    std::exchange(front_, nullptr)->back_buffer_ = nullptr;
  }
  owner_->Forget(this);
  pixels_ = {};
}

}  // namespace orv::platform
