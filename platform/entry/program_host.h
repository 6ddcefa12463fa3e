// The host a program runs on, chosen by the program's host library (the SDL host for
// the game itself). The start-up code installs it before WinMain runs.
#pragma once

#include <memory>

#include "core/host.h"

namespace orv::platform {

std::unique_ptr<Host> CreateProgramHost();

}  // namespace orv::platform
