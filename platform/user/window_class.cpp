// RegisterClassA and UnregisterClassA.
#include "core/open_call.h"
#include "user/user_state.h"

using orv::platform::FieldText;
using orv::platform::OpenCall;
using namespace orv::platform::user;

ATOM RegisterClassA(const WNDCLASSA* window_class) {
  if (auto early =
          OpenCall(ATOM{0}, "RegisterClassA", FieldText(window_class, &WNDCLASSA::lpszClassName))) {
    return *early;
  }
  if (window_class == nullptr || window_class->lpszClassName == nullptr ||
      IS_INTRESOURCE(window_class->lpszClassName) || window_class->lpfnWndProc == nullptr) {
    return 0;
  }
  // A class name is registered once (ERROR_CLASS_ALREADY_EXISTS).
  if (FindClass(window_class->lpszClassName) != nullptr)
    return 0;
  auto& state = State();
  if (state.next_atom == 0)
    return 0;  // the atom table is full
  WindowClass entry;
  entry.name = window_class->lpszClassName;
  entry.atom = state.next_atom++;
  entry.style = window_class->style;
  entry.procedure = window_class->lpfnWndProc;
  entry.instance = window_class->hInstance;
  entry.icon = window_class->hIcon;
  entry.cursor = window_class->hCursor;
  entry.background = window_class->hbrBackground;
  state.classes.push_back(entry);
  return entry.atom;
}

BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE instance) {
  if (auto early = OpenCall(FALSE, "UnregisterClassA", class_name, instance))
    return *early;
  const WindowClass* window_class = FindClass(class_name);
  if (window_class == nullptr)
    return FALSE;
  // A class with a window still open stays (ERROR_CLASS_HAS_WINDOWS).
  auto& state = State();
  if (state.window && state.window->class_atom == window_class->atom)
    return FALSE;
  std::erase_if(state.classes, [atom = window_class->atom](const WindowClass& entry) {
    return entry.atom == atom;
  });
  return TRUE;
}
