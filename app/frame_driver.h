// One frame: the scene of the game state, the frame-rate text and the flip.
#pragma once

#include "platform.h"

constexpr BYTE STATE_MENU = 0;
constexpr BYTE STATE_START = 10;
constexpr BYTE STATE_PLAY = 11;

void TickFrame(HWND window);
