// The program's one window and its procedure.
#pragma once

#include "platform.h"

HWND CreateGameWindow(HINSTANCE instance, int show_command);
LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
