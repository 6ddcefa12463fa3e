#include "entry/start_up.h"

#include <string>

#include "core/reset.h"
#include "entry/command_line.h"
#include "platform.h"

namespace orv::platform {

int RunWinMain(Host& host, int argc, const char* const* argv) {
  InstallHost(&host);
  std::string command_line = JoinCommandLine(argc, argv);
  const int exit_code =
      WinMain(GetModuleHandleA(nullptr), nullptr, command_line.data(), SW_SHOWDEFAULT);
  ResetAllServices();
  InstallHost(nullptr);
  return exit_code;
}

}  // namespace orv::platform
