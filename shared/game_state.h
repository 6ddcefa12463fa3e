// The game's state: which scene the next frame draws.
#pragma once

#include "platform.h"

constexpr BYTE STATE_MENU = 0;  // the title menu is shown
constexpr BYTE STATE_START =
    10;  // a game was chosen; the play field is reset before its first frame
constexpr BYTE STATE_PLAY = 11;  // the play field runs
