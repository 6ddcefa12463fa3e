#include "ddraw/palette.h"

#include <algorithm>

#include "ddraw/direct_draw.h"
#include "ddraw/journal_text.h"

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

HRESULT Palette::QueryInterface(REFIID iid, void** object) {
  if (auto fault = Diag().EnterCall("IDirectDrawPalette::QueryInterface", ObjectText(handle()))) {
    return *fault;
  }
  if (object == nullptr)
    return E_POINTER;
  *object = nullptr;
  if (released())
    return DDERR_INVALIDOBJECT;
  if (!IsEqualIID(iid, IID_IDirectDrawPalette))
    return E_NOINTERFACE;
  Retain();
  *object = static_cast<IDirectDrawPalette*>(this);
  return S_OK;
}

ULONG Palette::AddRef() {
  Diag().EnterCall("IDirectDrawPalette::AddRef", ObjectText(handle()));
  return ComObject::AddRef();
}

ULONG Palette::Release() {
  Diag().EnterCall("IDirectDrawPalette::Release", ObjectText(handle()));
  return ComObject::Release();
}

HRESULT Palette::GetCaps(LPDWORD caps) {
  if (auto fault = Diag().EnterCall("IDirectDrawPalette::GetCaps", ObjectText(handle()))) {
    return *fault;
  }
  if (released())
    return DDERR_INVALIDOBJECT;
  if (caps == nullptr)
    return DDERR_INVALIDPARAMS;
  *caps = caps_;
  return DD_OK;
}

HRESULT Palette::GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) {
  if (auto fault = Diag().EnterCall("IDirectDrawPalette::GetEntries", ObjectText(handle()),
                                    HexText(flags), base, count)) {
    return *fault;
  }
  if (released())
    return DDERR_INVALIDOBJECT;
  if (flags != 0 || entries == nullptr || base > entries_.size() ||
      count > entries_.size() - base) {
    return DDERR_INVALIDPARAMS;
  }
  std::copy_n(entries_.begin() + base, count, entries);
  return DD_OK;
}

HRESULT Palette::SetEntries(DWORD flags, DWORD first, DWORD count, LPPALETTEENTRY entries) {
  if (auto fault = Diag().EnterCall("IDirectDrawPalette::SetEntries", ObjectText(handle()),
                                    HexText(flags), first, count)) {
    return *fault;
  }
  if (released())
    return DDERR_INVALIDOBJECT;
  if (flags != 0 || entries == nullptr || first > entries_.size() ||
      count > entries_.size() - first) {
    return DDERR_INVALIDPARAMS;
  }
  std::copy_n(entries, count, entries_.begin() + first);
  KeepSystemEntries();
  return DD_OK;
}

void Palette::EndLife() {
  while (!released())
    ComObject::Release();
}

void Palette::OnFinalRelease() {
  owner_->Forget(this);
}

}  // namespace orv::platform
