// The play field: the player's ship, the obstacle orb and their contact.
#pragma once

#include "platform.h"

void ResetActors();
void RunPlayFrame(HWND window);
void MovePlayer();
void ClampObstacle();
