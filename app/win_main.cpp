// Process entry: the window, the display, the input devices, then the message loop,
// which runs one frame whenever the queue is empty and the window is not minimised.
#include "app/frame_driver.h"
#include "shared/game_globals.h"
#include "app/window.h"
#include "display/display.h"
#include "input/input_devices.h"

namespace {
// Start-up failures end the process with this code, so that whatever started the
// program can tell them from a normal quit (which returns the quit message's 0).
constexpr int kStartupFailed = 1;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  HWND window = CreateGameWindow(instance, show_command);
  if (window == NULL)
    return kStartupFailed;
  if (SetupDisplay(window) != 0)
    return kStartupFailed;
  if (static_cast<BYTE>(SetupInput(instance, window)) != 1)
    return kStartupFailed;

  Game.FrameTick = GetTickCount();
  Game.LastFpsTick = Game.FrameTick;

  MSG msg;
  for (;;) {
    if (PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
      if (!GetMessageA(&msg, NULL, 0, 0))
        break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else if (Game.AppActive) {
      TickFrame(window);
      Sleep(1);
    }
  }

  ReleaseInput();
  return static_cast<int>(msg.wParam);
}
