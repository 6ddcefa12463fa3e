// A small program of the classic Windows kind that shows the platform at work: a window,
// its message loop, and DirectDraw in exclusive 640x480x8 with a ball bouncing over a
// scrolling pattern. It ends on Esc, when the window is closed, or after the number of
// seconds given as "--seconds N" on the command line.
#include <cstdlib>
#include <cstring>

#include "demo_display.h"
#include "demo_keyboard.h"
#include "platform.h"

namespace {

BOOL app_active = FALSE;

LRESULT CALLBACK DemoWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ACTIVATE:
      app_active = HIWORD(wparam) == 0;
      return 0;
    case WM_SETCURSOR:
      SetCursor(nullptr);
      return TRUE;
    case WM_DESTROY:
      CloseDemoDisplay();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

// The value of "--seconds N" in the command line, or 0 when not given.
DWORD SecondsToRun(LPCSTR command_line) {
  const char* option = std::strstr(command_line, "--seconds");
  if (option == nullptr)
    return 0;
  return static_cast<DWORD>(std::strtoul(option + std::strlen("--seconds"), nullptr, 10));
}

HWND CreateDemoWindow(HINSTANCE instance, int show_command) {
  WNDCLASSA window_class;
  std::memset(&window_class, 0, sizeof(window_class));
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = DemoWindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = "OrvendalDemo";
  if (RegisterClassA(&window_class) == 0)
    return nullptr;

  HWND window = CreateWindowExA(WS_EX_TOPMOST, "OrvendalDemo", "FullScreen Orvendal", WS_POPUP, 0,
                                0, 640, 480, nullptr, nullptr, instance, nullptr);
  if (window == nullptr)
    return nullptr;
  ShowWindow(window, show_command);
  UpdateWindow(window);
  SetFocus(window);
  return window;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show_command) {
  const DWORD seconds = SecondsToRun(command_line != nullptr ? command_line : "");
  HWND window = CreateDemoWindow(instance, show_command);
  if (window == nullptr)
    return 1;
  if (!OpenDemoDisplay(window)) {
    DestroyWindow(window);
    return 1;
  }
  // Without a keyboard the demonstration still runs; it just cannot be left with Esc.
  OpenDemoKeyboard(instance, window);

  const DWORD start = GetTickCount();
  BOOL closing = FALSE;
  MSG msg;
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT)
        break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      continue;
    }
    const DWORD elapsed = GetTickCount() - start;
    const BOOL time_up = seconds != 0 && elapsed >= seconds * 1000;
    if ((time_up || EscapeHeld()) && !closing) {
      PostMessageA(window, WM_CLOSE, 0, 0);
      closing = TRUE;
    }
    // Minimised, there is nothing to draw until the window is restored.
    if (app_active)
      DrawDemoFrame(elapsed);
    Sleep(app_active ? 1 : 10);
  }
  CloseDemoKeyboard();
  return static_cast<int>(msg.wParam);
}
