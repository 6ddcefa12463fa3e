// The program's one window, its procedure and the start-up error report.
#pragma once

#include "platform.h"

HWND CreateGameWindow(HINSTANCE instance, int show_command);
LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
HRESULT ShowInitError(HWND window, HRESULT result, LPCSTR format, ...);
