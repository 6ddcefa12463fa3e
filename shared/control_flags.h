// The controls held at the moment of a poll, keyboard and joystick combined by OR.
// Bits 14 to 31 are always 0.
#pragma once

#include "platform.h"

using ControlFlags = DWORD;

constexpr ControlFlags CTRL_UP = 0x1;
constexpr ControlFlags CTRL_DOWN = 0x2;
constexpr ControlFlags CTRL_LEFT = 0x4;
constexpr ControlFlags CTRL_RIGHT = 0x8;
constexpr ControlFlags CTRL_A = 0x10;
constexpr ControlFlags CTRL_B = 0x20;
constexpr ControlFlags CTRL_C = 0x40;
constexpr ControlFlags CTRL_X = 0x80;
constexpr ControlFlags CTRL_Y = 0x100;
constexpr ControlFlags CTRL_Z = 0x200;
constexpr ControlFlags CTRL_L = 0x400;
constexpr ControlFlags CTRL_R = 0x800;
constexpr ControlFlags CTRL_BUTTON8 = 0x1000;
constexpr ControlFlags CTRL_M = 0x2000;
