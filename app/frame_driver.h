// One frame: the scene of the game state, the frame-rate text and the flip.
#pragma once

#include "platform.h"

void TickFrame(HWND window);
