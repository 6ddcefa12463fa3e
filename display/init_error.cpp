// The report of a failed display set-up: a message box over the window, then the
// window's end.
#include <cstdarg>
#include <cstdio>

#include "display/init_error.h"
#include "display/display.h"

HRESULT ShowInitError(HWND window, HRESULT result, LPCSTR format, ...) {
  // Longer text is cut at 127 characters.
  char text[128] = "";
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof(text), format, arguments);
  va_end(arguments);

  ReleaseDisplay();
  MessageBoxA(window, text, "FullScreen Orvendal", MB_OK);
  DestroyWindow(window);
  return result;
}
