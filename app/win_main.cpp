// Process entry: the window, the display, the input devices, then the message loop,
// which runs one frame whenever the queue is empty and the window is not minimised, and
// otherwise waits for the next message.
#include "app/frame_driver.h"
#include "app/window.h"
#include "display/display.h"
#include "input/input_devices.h"
#include "shared/game_globals.h"

namespace {
// Start-up failures, and a message queue that fails, end the process with this code, so
// that whatever started the program can tell them from a normal quit (which returns the
// quit message's 0).
constexpr int kFailed = 1;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  HWND window = CreateGameWindow(instance, show_command);
  if (window == NULL)
    return kFailed;
  if (SetupDisplay(window) != 0)
    return kFailed;
  if (static_cast<BYTE>(SetupInput(instance, window)) != 1)
    return kFailed;

  Game.FrameTick = GetTickCount();
  Game.LastFpsTick = Game.FrameTick;

  MSG msg;
  int exit_code = kFailed;
  for (;;) {
    if (PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
      const BOOL got = GetMessageA(&msg, NULL, 0, 0);
      if (got == 0) {
        exit_code = static_cast<int>(msg.wParam);
        break;
      }
      if (got == -1)  // the queue itself failed: there is no message to act on
        break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else if (Game.AppActive) {
      TickFrame(window);
      Sleep(1);
    } else {
      // Minimised: nothing is drawn until a message says otherwise.
      WaitMessage();
    }
  }

  ReleaseInput();
  return exit_code;
}
