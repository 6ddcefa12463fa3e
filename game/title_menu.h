// The title menu: background, logo, Start / Option / Exit and the cursor.
#pragma once

#include "platform.h"

HRESULT RunTitleMenu(HWND window);
