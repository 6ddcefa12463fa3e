// The program's one window: its class, its creation and its procedure.
#include "app/window.h"

#include "shared/game_globals.h"
#include "display/display.h"

namespace {
constexpr char kClassName[] = "Orvendal";
constexpr char kWindowTitle[] = "FullScreen Orvendal";
}  // namespace

HWND CreateGameWindow(HINSTANCE instance, int show_command) {
  WNDCLASSA window_class;
  window_class.style = CS_VREDRAW | CS_HREDRAW;
  window_class.lpfnWndProc = GameWindowProc;
  window_class.cbClsExtra = 0;
  window_class.cbWndExtra = 0;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(NULL, IDI_APPLICATION);
  window_class.hCursor = LoadCursorA(NULL, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  window_class.lpszMenuName = kClassName;
  window_class.lpszClassName = kClassName;
  if (RegisterClassA(&window_class) == 0)
    return NULL;

  HWND window = CreateWindowExA(WS_EX_TOPMOST, kClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, 0, 0,
                                640, 480, NULL, NULL, instance, NULL);
  if (window == NULL)
    return NULL;

  ShowWindow(window, show_command);
  UpdateWindow(window);
  SetFocus(window);
  return window;
}

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      ReleaseDisplay();
      PostQuitMessage(0);
      return 0;
    case WM_ACTIVATE:
      // Frames run while the window is not minimised, even when it is not active.
      Game.AppActive = HIWORD(wparam) == 0 ? 1 : 0;
      return 0;
    case WM_SETCURSOR:
      SetCursor(NULL);
      return TRUE;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}
