// The demonstration's DirectDraw display: exclusive 640x480x8 with a flipping pair, a
// palette and two off-screen surfaces drawn with Lock.
#pragma once

#include "platform.h"

// Takes the display; on failure shows what failed in a message box and returns FALSE.
BOOL OpenDemoDisplay(HWND window);
// Gives every display object back; harmless when nothing is held.
void CloseDemoDisplay();
// Draws the picture for `elapsed_ms` since the start onto the back buffer and flips.
void DrawDemoFrame(DWORD elapsed_ms);
