// The portable start-up code: what the Windows C runtime does around WinMain, on the
// host that the program's main() hands it.
#pragma once

#include "core/host.h"

namespace orv::platform {

// Installs `host`, calls WinMain as Windows' start-up code does (the module handle, no
// previous instance, the command line after the program name, SW_SHOWDEFAULT), lets
// the services give back whatever the program left open while the host still exists,
// and returns WinMain's result as the exit code.
int RunWinMain(Host& host, int argc, const char* const* argv);

}  // namespace orv::platform
