// The one header game code includes for the operating system's services.
// On Windows these are the system's own headers; elsewhere they are the portable
// platform's declarations of the same names, types and values.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <ddraw.h>
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0700
#endif
#include <dinput.h>
#else
#include "win/base.h"
#include "win/kernel.h"
#include "win/user.h"
#include "win/gdi.h"
#include "win/ddraw.h"
#include "win/dinput.h"
#endif
