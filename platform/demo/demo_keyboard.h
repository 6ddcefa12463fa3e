// The demonstration's keyboard, through DirectInput 7: only Esc is looked at.
#pragma once

#include "platform.h"

// Opens the system keyboard for the window; FALSE when it cannot be had.
BOOL OpenDemoKeyboard(HINSTANCE instance, HWND window);
void CloseDemoKeyboard();
// Whether Esc is held now; reacquires the keyboard when its input was lost.
BOOL EscapeHeld();
