#include "ddraw/palette.h"

#include <algorithm>

#include "ddraw/direct_draw.h"

namespace orv::platform {

Palette::Palette(DirectDraw& owner, DWORD caps, const PALETTEENTRY* entries)
    : owner_(&owner), caps_(caps) {
  std::copy_n(entries, entries_.size(), entries_.begin());
  KeepSystemEntries();
}

void Palette::KeepSystemEntries() {
  if (caps_ & DDPCAPS_ALLOW256)
    return;
  entries_.front().peRed = entries_.front().peGreen = entries_.front().peBlue = 0;
  entries_.back().peRed = entries_.back().peGreen = entries_.back().peBlue = 255;
}

HRESULT Palette::GetCaps(LPDWORD caps) {
  if (auto early = OpenCall(*this, "IDirectDrawPalette::GetCaps", handle()))
    return *early;
  if (caps == nullptr)
    return DDERR_INVALIDPARAMS;
  *caps = caps_;
  return DD_OK;
}

HRESULT Palette::GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) {
  if (auto early =
          OpenCall(*this, "IDirectDrawPalette::GetEntries", handle(), Hex(flags), base, count)) {
    return *early;
  }
  if (flags != 0 || entries == nullptr || base > entries_.size() ||
      count > entries_.size() - base) {
    return DDERR_INVALIDPARAMS;
  }
  std::copy_n(entries_.begin() + base, count, entries);
  return DD_OK;
}

HRESULT Palette::SetEntries(DWORD flags, DWORD first, DWORD count, LPPALETTEENTRY entries) {
  if (auto early =
          OpenCall(*this, "IDirectDrawPalette::SetEntries", handle(), Hex(flags), first, count)) {
    return *early;
  }
  if (flags != 0 || entries == nullptr || first > entries_.size() ||
      count > entries_.size() - first) {
    return DDERR_INVALIDPARAMS;
  }
  std::copy_n(entries, count, entries_.begin() + first);
  KeepSystemEntries();
  return DD_OK;
}

void Palette::OnFinalRelease() {
  owner_->Forget(this);
}

}  // namespace orv::platform
