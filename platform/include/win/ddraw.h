// DirectDraw 7: the display object, surfaces and palettes, with Windows' names and values.
#pragma once

#include "win/base.h"

#define _FACDD 0x876
#define MAKE_DDHRESULT(code) MAKE_HRESULT(1, _FACDD, code)

#define DD_OK S_OK
#define DD_FALSE S_FALSE
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_INVALIDCAPS MAKE_DDHRESULT(100)
#define DDERR_INVALIDMODE MAKE_DDHRESULT(120)
#define DDERR_INVALIDOBJECT MAKE_DDHRESULT(130)
#define DDERR_INVALIDPIXELFORMAT MAKE_DDHRESULT(145)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_NOCOOPERATIVELEVELSET MAKE_DDHRESULT(212)
#define DDERR_NOCOLORKEY MAKE_DDHRESULT(215)
#define DDERR_NOCOLORKEYHW MAKE_DDHRESULT(220)
#define DDERR_NOEXCLUSIVEMODE MAKE_DDHRESULT(225)
#define DDERR_NOTFOUND MAKE_DDHRESULT(255)
#define DDERR_NOOVERLAYHW MAKE_DDHRESULT(260)
#define DDERR_OUTOFVIDEOMEMORY MAKE_DDHRESULT(380)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_SURFACENOTATTACHED MAKE_DDHRESULT(460)
#define DDERR_WASSTILLDRAWING MAKE_DDHRESULT(540)
#define DDERR_INVALIDDIRECTDRAWGUID MAKE_DDHRESULT(561)
#define DDERR_NODIRECTDRAWHW MAKE_DDHRESULT(563)
#define DDERR_PRIMARYSURFACEALREADYEXISTS MAKE_DDHRESULT(564)
#define DDERR_NOPALETTEATTACHED MAKE_DDHRESULT(572)
#define DDERR_EXCLUSIVEMODEALREADYSET MAKE_DDHRESULT(581)
#define DDERR_NOTFLIPPABLE MAKE_DDHRESULT(582)
#define DDERR_NOTLOCKED MAKE_DDHRESULT(584)
#define DDERR_CANTCREATEDC MAKE_DDHRESULT(585)
#define DDERR_NODC MAKE_DDHRESULT(586)
#define DDERR_WRONGMODE MAKE_DDHRESULT(587)
#define DDERR_IMPLICITLYCREATED MAKE_DDHRESULT(588)
#define DDERR_NOTPALETTIZED MAKE_DDHRESULT(589)
#define DDERR_DCALREADYCREATED MAKE_DDHRESULT(620)

// Cooperative levels.
#define DDSCL_FULLSCREEN 0x00000001
#define DDSCL_ALLOWREBOOT 0x00000002
#define DDSCL_NOWINDOWCHANGES 0x00000004
#define DDSCL_NORMAL 0x00000008
#define DDSCL_EXCLUSIVE 0x00000010
#define DDSCL_ALLOWMODEX 0x00000040
#define DDSCL_SETFOCUSWINDOW 0x00000080
#define DDSCL_SETDEVICEWINDOW 0x00000100
#define DDSCL_CREATEDEVICEWINDOW 0x00000200
#define DDSCL_MULTITHREADED 0x00000400
#define DDSCL_FPUSETUP 0x00000800
#define DDSCL_FPUPRESERVE 0x00001000

// SetDisplayMode flags.
#define DDSDM_STANDARDVGAMODE 0x00000001

// DirectDrawCreateEx device choices besides a device GUID.
#define DDCREATE_HARDWAREONLY ((GUID*)1)
#define DDCREATE_EMULATIONONLY ((GUID*)2)

// Surface description fields.
#define DDSD_CAPS 0x00000001
#define DDSD_HEIGHT 0x00000002
#define DDSD_WIDTH 0x00000004
#define DDSD_PITCH 0x00000008
#define DDSD_BACKBUFFERCOUNT 0x00000020
#define DDSD_ZBUFFERBITDEPTH 0x00000040
#define DDSD_ALPHABITDEPTH 0x00000080
#define DDSD_LPSURFACE 0x00000800
#define DDSD_PIXELFORMAT 0x00001000
#define DDSD_CKDESTOVERLAY 0x00002000
#define DDSD_CKDESTBLT 0x00004000
#define DDSD_CKSRCOVERLAY 0x00008000
#define DDSD_CKSRCBLT 0x00010000
#define DDSD_MIPMAPCOUNT 0x00020000
#define DDSD_REFRESHRATE 0x00040000
#define DDSD_LINEARSIZE 0x00080000

// Surface capabilities.
#define DDSCAPS_BACKBUFFER 0x00000004
#define DDSCAPS_COMPLEX 0x00000008
#define DDSCAPS_FLIP 0x00000010
#define DDSCAPS_FRONTBUFFER 0x00000020
#define DDSCAPS_OFFSCREENPLAIN 0x00000040
#define DDSCAPS_OVERLAY 0x00000080
#define DDSCAPS_PALETTE 0x00000100
#define DDSCAPS_PRIMARYSURFACE 0x00000200
#define DDSCAPS_SYSTEMMEMORY 0x00000800
#define DDSCAPS_TEXTURE 0x00001000
#define DDSCAPS_3DDEVICE 0x00002000
#define DDSCAPS_VIDEOMEMORY 0x00004000
#define DDSCAPS_VISIBLE 0x00008000
#define DDSCAPS_LOCALVIDMEM 0x10000000

// Pixel formats.
#define DDPF_ALPHAPIXELS 0x00000001
#define DDPF_PALETTEINDEXED8 0x00000020
#define DDPF_RGB 0x00000040

// BltFast, Flip and Lock flags.
#define DDBLTFAST_NOCOLORKEY 0x00000000
#define DDBLTFAST_SRCCOLORKEY 0x00000001
#define DDBLTFAST_DESTCOLORKEY 0x00000002
#define DDBLTFAST_WAIT 0x00000010
#define DDBLTFAST_DONOTWAIT 0x00000020
#define DDFLIP_WAIT 0x00000001
#define DDFLIP_NOVSYNC 0x00000008
#define DDFLIP_DONOTWAIT 0x00000020
#define DDLOCK_SURFACEMEMORYPTR 0x00000000
#define DDLOCK_WAIT 0x00000001
#define DDLOCK_READONLY 0x00000010
#define DDLOCK_WRITEONLY 0x00000020
#define DDLOCK_NOSYSLOCK 0x00000800
#define DDLOCK_DONOTWAIT 0x00004000

// Colour keys.
#define DDCKEY_COLORSPACE 0x00000001
#define DDCKEY_DESTBLT 0x00000002
#define DDCKEY_DESTOVERLAY 0x00000004
#define DDCKEY_SRCBLT 0x00000008
#define DDCKEY_SRCOVERLAY 0x00000010

// Palette capabilities.
#define DDPCAPS_4BIT 0x00000001
#define DDPCAPS_8BITENTRIES 0x00000002
#define DDPCAPS_8BIT 0x00000004
#define DDPCAPS_INITIALIZE 0x00000008
#define DDPCAPS_PRIMARYSURFACE 0x00000010
#define DDPCAPS_ALLOW256 0x00000040
#define DDPCAPS_VSYNC 0x00000080
#define DDPCAPS_1BIT 0x00000100
#define DDPCAPS_2BIT 0x00000200

struct DDCOLORKEY {
  DWORD dwColorSpaceLowValue;
  DWORD dwColorSpaceHighValue;
};
using LPDDCOLORKEY = DDCOLORKEY*;

struct DDSCAPS2 {
  DWORD dwCaps;
  DWORD dwCaps2;
  DWORD dwCaps3;
  union {
    DWORD dwCaps4;
    DWORD dwVolumeDepth;
  };
};
using LPDDSCAPS2 = DDSCAPS2*;

struct DDPIXELFORMAT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwFourCC;
  union {
    DWORD dwRGBBitCount;
    DWORD dwYUVBitCount;
  };
  union {
    DWORD dwRBitMask;
    DWORD dwYBitMask;
  };
  union {
    DWORD dwGBitMask;
    DWORD dwUBitMask;
  };
  union {
    DWORD dwBBitMask;
    DWORD dwVBitMask;
  };
  union {
    DWORD dwRGBAlphaBitMask;
    DWORD dwYUVAlphaBitMask;
  };
};
using LPDDPIXELFORMAT = DDPIXELFORMAT*;

struct DDSURFACEDESC2 {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwHeight;
  DWORD dwWidth;
  union {
    LONG lPitch;
    DWORD dwLinearSize;
  };
  union {
    DWORD dwBackBufferCount;
    DWORD dwDepth;
  };
  union {
    DWORD dwMipMapCount;
    DWORD dwRefreshRate;
    DWORD dwSrcVBHandle;
  };
  DWORD dwAlphaBitDepth;
  DWORD dwReserved;
  LPVOID lpSurface;
  union {
    DDCOLORKEY ddckCKDestOverlay;
    DWORD dwEmptyFaceColor;
  };
  DDCOLORKEY ddckCKDestBlt;
  DDCOLORKEY ddckCKSrcOverlay;
  DDCOLORKEY ddckCKSrcBlt;
  union {
    DDPIXELFORMAT ddpfPixelFormat;
    DWORD dwFVF;
  };
  DDSCAPS2 ddsCaps;
  DWORD dwTextureStage;
};
using LPDDSURFACEDESC2 = DDSURFACEDESC2*;

// Record sizes as on Windows (64-bit for the pointer in DDSURFACEDESC2).
static_assert(sizeof(DDCOLORKEY) == 8);
static_assert(sizeof(DDSCAPS2) == 16);
static_assert(sizeof(DDPIXELFORMAT) == 32);
static_assert(sizeof(DDSURFACEDESC2) == (sizeof(void*) == 8 ? 136 : 124));

struct IDirectDrawPalette;
struct IDirectDrawSurface7;
using LPDIRECTDRAWPALETTE = IDirectDrawPalette*;
using LPDIRECTDRAWSURFACE7 = IDirectDrawSurface7*;

struct IDirectDrawPalette : IUnknown {
  virtual HRESULT GetCaps(LPDWORD caps) = 0;
  virtual HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, LPPALETTEENTRY entries) = 0;
  virtual HRESULT SetEntries(DWORD flags, DWORD first, DWORD count, LPPALETTEENTRY entries) = 0;

 protected:
  ~IDirectDrawPalette() = default;
};

struct IDirectDrawSurface7 : IUnknown {
  virtual HRESULT BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT source_rect,
                          DWORD flags) = 0;
  virtual HRESULT Flip(LPDIRECTDRAWSURFACE7 target_override, DWORD flags) = 0;
  virtual HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* attached) = 0;
  virtual HRESULT GetCaps(LPDDSCAPS2 caps) = 0;
  virtual HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  virtual HRESULT GetDC(HDC* dc) = 0;
  virtual HRESULT GetPalette(LPDIRECTDRAWPALETTE* palette) = 0;
  virtual HRESULT GetPixelFormat(LPDDPIXELFORMAT format) = 0;
  virtual HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) = 0;
  virtual HRESULT IsLost() = 0;
  virtual HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) = 0;
  virtual HRESULT ReleaseDC(HDC dc) = 0;
  virtual HRESULT Restore() = 0;
  virtual HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) = 0;
  virtual HRESULT SetPalette(LPDIRECTDRAWPALETTE palette) = 0;
  virtual HRESULT Unlock(LPRECT rect) = 0;

 protected:
  ~IDirectDrawSurface7() = default;
};

struct IDirectDraw7 : IUnknown {
  virtual HRESULT CreatePalette(DWORD flags, LPPALETTEENTRY entries, LPDIRECTDRAWPALETTE* palette,
                                IUnknown* outer) = 0;
  virtual HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                                IUnknown* outer) = 0;
  virtual HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) = 0;
  virtual HRESULT RestoreDisplayMode() = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
  virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits_per_pixel,
                                 DWORD refresh_rate, DWORD flags) = 0;
  virtual HRESULT RestoreAllSurfaces() = 0;
  virtual HRESULT TestCooperativeLevel() = 0;

 protected:
  ~IDirectDraw7() = default;
};
using LPDIRECTDRAW7 = IDirectDraw7*;

extern const IID IID_IDirectDraw7;
extern const IID IID_IDirectDrawSurface7;
extern const IID IID_IDirectDrawPalette;

HRESULT DirectDrawCreateEx(GUID* device, LPVOID* object, REFIID iid, IUnknown* outer);
