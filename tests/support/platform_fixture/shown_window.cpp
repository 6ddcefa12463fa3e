#include "platform_fixture/shown_window.h"

namespace orv::test_support {

ATOM RegisterTestClass(const TestWindow& shape) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = shape.procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = shape.cursor;
  window_class.lpszClassName = shape.class_name;
  return RegisterClassA(&window_class);
}

HWND CreateTestWindow(const TestWindow& shape) {
  return CreateWindowExA(shape.ex_style, shape.class_name, shape.title, shape.style, 0, 0, 640, 480,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND ShowTestWindow(const TestWindow& shape) {
  RegisterTestClass(shape);
  HWND window = CreateTestWindow(shape);
  ShowWindow(window, SW_SHOWNORMAL);
  return window;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace orv::test_support
