// Every process-wide variable of the game, in one record, and the types its members
// share. Beside each group stand the functions that write it; everything else only
// reads.
#pragma once

#include "platform.h"
#include "shared/control_flags.h"

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
  // GameWindowProc, on WM_ACTIVATE (app/window.cpp).
  LONG AppActive;

  // One of STATE_* (shared/game_state.h): RunTitleMenu stores STATE_START, RunPlayFrame
  // STATE_MENU, and TickFrame turns STATE_START into STATE_PLAY.
  BYTE GameState;
  // The frame clock: stamped by WinMain before the loop, then by TickFrame.
  DWORD FrameTick;
  DWORD LastFpsTick;
  // The frame-rate text: TickFrame (app/frame_driver.cpp).
  LONG FrameCount;
  char FpsText[128];
  RECT FpsGlyphRect;

  // SetupDisplay and ReleaseDisplay (display/).
  DisplayObjects Display;
  // The sheets whose bitmap could not be copied back after a loss, bit i for the i-th of
  // BackImageSurface, StringsSurface, MenuSurface and CharacterSurface: RestoreSurfaces
  // and ReloadPendingSheet (display/surface_recovery.cpp).
  DWORD SheetsToReload;

  // SetupInput and ReleaseInput (input/input_devices.cpp); the joystick handle also by
  // JoystickFoundCallback, the device it opens.
  LPDIRECTINPUT7 InputObject;
  LPDIRECTINPUTDEVICE7 JoystickDevice;
  LPDIRECTINPUTDEVICE7 KeyboardDevice;
  LONG JoystickReady;

  // RunTitleMenu (game/title_menu.cpp).
  LONG MenuSelection;
  DWORD MenuLastMoveTick;
  DWORD MenuTick;

  // ResetActors, MovePlayer and ClampObstacle move the actors; RunPlayFrame stores the
  // controls (game/play_field.cpp).
  Actor Player;
  Actor Obstacle;
  ControlFlags PlayControls;
};

// The values every member has at process start.
GameGlobals InitialGameGlobals();

extern GameGlobals Game;
