// Every process-wide variable of the game, in one record. Each member is written
// only by the subsystem named beside it.
#pragma once

#include "platform.h"

// Controls held at the moment of a poll (input/controls.h names the bits).
using ControlFlags = DWORD;

// The display objects; each handle is null while not held.
struct DisplayObjects {
  LPDIRECTDRAW7 DirectDrawObject;
  LPDIRECTDRAWSURFACE7 PrimarySurface;
  LPDIRECTDRAWSURFACE7 BackBuffer;  // part of PrimarySurface's chain, never released alone
  LPDIRECTDRAWPALETTE DisplayPalette;
  LPDIRECTDRAWSURFACE7 BackImageSurface;
  LPDIRECTDRAWSURFACE7 StringsSurface;
  LPDIRECTDRAWSURFACE7 MenuSurface;
  LPDIRECTDRAWSURFACE7 CharacterSurface;
};

// A sprite on the play field.
struct Actor {
  LONG x;  // screen position of the sprite's top-left corner
  LONG y;
  RECT src;    // the sprite's cell in the character sheet; also its size
  LONG speed;  // pixels per frame on each axis
  BYTE active;
};

struct GameGlobals {
  // Window and message loop (app/window.cpp).
  LONG AppActive;

  // Frame driver (app/frame_driver.cpp).
  BYTE GameState;
  DWORD FrameTick;
  DWORD LastFpsTick;
  LONG FrameCount;
  char FpsText[128];
  RECT FpsGlyphRect;

  // Display (display/).
  DisplayObjects Display;

  // Input devices (input/).
  LPDIRECTINPUT7 InputObject;
  LPDIRECTINPUTDEVICE7 JoystickDevice;
  LPDIRECTINPUTDEVICE7 KeyboardDevice;
  LONG JoystickReady;

  // Title menu (game/title_menu.cpp).
  LONG MenuSelection;
  DWORD MenuLastMoveTick;
  DWORD MenuTick;

  // Play field (game/play_field.cpp).
  Actor Player;
  Actor Obstacle;
  ControlFlags PlayControls;
};

// The values every member has at process start.
GameGlobals InitialGameGlobals();

extern GameGlobals Game;
