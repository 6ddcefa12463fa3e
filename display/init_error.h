// The report of a failed display set-up step.
#pragma once

#include "platform.h"

// Formats the text (at most 127 characters are kept), releases the display, shows the
// text in a message box over the window, destroys the window and returns `result`.
HRESULT ShowInitError(HWND window, HRESULT result, LPCSTR format, ...);
