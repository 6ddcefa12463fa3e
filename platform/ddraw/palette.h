// IDirectDrawPalette: 256 colour entries, shared by the surfaces it is attached to.
#pragma once

#include <array>

#include "core/com_object.h"
#include "win/ddraw.h"

namespace orv::platform {

class DirectDraw;

class Palette final : public ComObject<IDirectDrawPalette> {
 public:
  Palette(DirectDraw& owner, DWORD caps, const PALETTEENTRY* entries);

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetCaps(LPDWORD caps) override;
  HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) override;
  HRESULT SetEntries(DWORD flags, DWORD first, DWORD count, LPPALETTEENTRY entries) override;

  const PALETTEENTRY* entries() const { return entries_.data(); }
  const DirectDraw* owner() const { return owner_; }

  // The references of the surfaces the palette is attached to (not journaled).
  void Retain() { ComObject::AddRef(); }
  void Drop() { ComObject::Release(); }
  // Ends the palette whatever its reference count: its DirectDraw object was released.
  void EndLife();

 protected:
  void OnFinalRelease() override;

 private:
  // The handle the program holds, as the journal names it.
  const void* handle() const { return static_cast<const IDirectDrawPalette*>(this); }
  // Without DDPCAPS_ALLOW256 the system keeps entry 0 black and entry 255 white.
  void KeepSystemEntries();

  DirectDraw* owner_;
  DWORD caps_;
  std::array<PALETTEENTRY, 256> entries_{};
};

}  // namespace orv::platform
