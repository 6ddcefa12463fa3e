// IDirectDrawPalette: 256 colour entries, shared by the surfaces it is attached to.
#pragma once

#include <array>
#include <string_view>

#include "core/com_object.h"
#include "win/ddraw.h"

namespace orv::platform {

class DirectDraw;

class Palette final : public ComObject<Palette, IDirectDrawPalette> {
 public:
  static constexpr std::string_view kInterfaceName = "IDirectDrawPalette";
  static constexpr const IID* kInterfaces[] = {&IID_IDirectDrawPalette};
  static constexpr HRESULT kReleasedResult = DDERR_INVALIDOBJECT;

  Palette(DirectDraw& owner, DWORD caps, const PALETTEENTRY* entries);

  HRESULT GetCaps(LPDWORD caps) override;
  HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) override;
  HRESULT SetEntries(DWORD flags, DWORD first, DWORD count, LPPALETTEENTRY entries) override;

  const PALETTEENTRY* entries() const { return entries_.data(); }
  const DirectDraw* owner() const { return owner_; }

 protected:
  void OnFinalRelease() override;

 private:
  // Without DDPCAPS_ALLOW256 the system keeps entry 0 black and entry 255 white.
  void KeepSystemEntries();

  DirectDraw* owner_;
  DWORD caps_;
  std::array<PALETTEENTRY, 256> entries_{};
};

}  // namespace orv::platform
